// Win32 message pump: PeekMessageA, TranslateMessage and DispatchMessageA.
#include "platform/message_pump.h"

#include <windows.h>

namespace platform {

void vDispatchPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace platform
