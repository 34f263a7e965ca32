// How long the user has left the machine alone: the time since the last mouse, touch or key input.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

// Milliseconds since the last input of a person at the display the program shows on (mouse
// moves and buttons, touches, keys). Windows: GetLastInputInfo against GetTickCount. Linux: the X
// server's own idle time (the screen-saver extension), which every device of the server resets,
// touch screens included; the first call opens a connection of its own to the display. False
// when the system cannot tell (no display, no extension).
BOOL fGetInputIdleMs(uint32_t& uIdleMs);

}  // namespace platform
