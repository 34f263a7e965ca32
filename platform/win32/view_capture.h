// What the Win32 HTML view needs of the system for the operator's features: a window drawn into
// a bitmap (the screenshot) and the end of the engine's browser session (the idle reset).
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace platform {

// Draws the window with its children into a 32-bit top-down bitmap of its client area: blue,
// green, red, unused, rows uWidth * 4 bytes apart. PrintWindow (PW_CLIENTONLY) asks the window
// to paint itself even where it is covered; when the system refuses that, the client area's
// pixels are copied from the screen (BitBlt). False for a window without a client area, or when
// neither works.
BOOL fCaptureWindow(HWND hWnd, uint32_t& uWidth, uint32_t& uHeight, std::vector<uint8_t>& pixels);

// Ends the engine's browser session for the process: session cookies are dropped
// (InternetSetOption with INTERNET_OPTION_END_BROWSER_SESSION). False when WinINet refuses it.
BOOL fEndBrowserSession();

}  // namespace platform
