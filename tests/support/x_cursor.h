// Test helper: what the X server shows as the mouse cursor.
#pragma once

#include <string>

namespace txtest {

// Visible (not fully transparent) pixels of the cursor the server of strDisplay shows now; -1
// when the display or the cursor cannot be read.
int iCursorPixels(const std::string& strDisplay);

}  // namespace txtest
