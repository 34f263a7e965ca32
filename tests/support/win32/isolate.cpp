// Test helper on Windows: each build tree's Wine prefix already keeps its processes and events.
#include "tests/support/isolate.h"

namespace txtest {

bool fIsolate() { return false; }

}  // namespace txtest
