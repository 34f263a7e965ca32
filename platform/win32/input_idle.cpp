// Win32 input idle time: GetLastInputInfo against GetTickCount.
#include "platform/input_idle.h"

#include <windows.h>

namespace platform {

BOOL fGetInputIdleMs(uint32_t& uIdleMs) {
  LASTINPUTINFO info = {};
  info.cbSize = sizeof info;
  if (!GetLastInputInfo(&info)) return FALSE;
  uIdleMs = GetTickCount() - info.dwTime;
  return TRUE;
}

}  // namespace platform
