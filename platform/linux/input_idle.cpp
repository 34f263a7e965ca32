// Linux input idle time: XScreenSaverQueryInfo on a connection of its own to the display.
#include "platform/input_idle.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace platform {

BOOL fGetInputIdleMs(uint32_t& uIdleMs) {
  // One connection for the life of the process; the UI thread is the only caller.
  static Display* s_pDisplay = nullptr;
  static BOOL s_bTried = FALSE;
  static BOOL s_bExtension = FALSE;
  if (!s_bTried) {
    s_bTried = TRUE;
    s_pDisplay = XOpenDisplay(nullptr);
    int iEvent = 0, iError = 0;
    s_bExtension = s_pDisplay != nullptr && XScreenSaverQueryExtension(s_pDisplay, &iEvent, &iError);
  }
  if (!s_bExtension) return FALSE;
  XScreenSaverInfo info = {};
  if (!XScreenSaverQueryInfo(s_pDisplay, DefaultRootWindow(s_pDisplay), &info)) return FALSE;
  uIdleMs = static_cast<uint32_t>(info.idle);
  return TRUE;
}

}  // namespace platform
