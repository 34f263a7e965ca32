// Test helper, Windows: windows go to the desktop (under Wine, its display or its null driver).
#include "platform/message_loop.h"
#include "ui_test_util.h"

bool fPrepareTestUi() { return platform::fInitMessageLoop(); }
