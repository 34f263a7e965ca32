// Linux edge gestures: desktops have no per-window switch for them, so the call always fails.
#include "platform/edge_gesture.h"

namespace platform {

BOOL fSetEdgeGestureDisabled(HWINDOW, BOOL) { return FALSE; }

}  // namespace platform
