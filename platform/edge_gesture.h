// The system's edge-swipe gestures for a full-screen window.
#pragma once

#include "platform/types.h"
#include "platform/window_handle.h"

namespace platform {

// Switches the system's edge swipes off (bDisable TRUE) or back on while the window is full
// screen (Windows: the window property PKEY_EdgeGesture_DisableTouchWhenFullscreen). False when
// the system offers no such switch for the window; nothing changes then.
BOOL fSetEdgeGestureDisabled(HWINDOW hWindow, BOOL bDisable);

}  // namespace platform
