// Linux version data: there is no Windows release to report.
#include "platform/os_version.h"

namespace platform {

BOOL fGetOSVersionData(OSVersionData& data) { return FALSE; }

}  // namespace platform
