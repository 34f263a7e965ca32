// Win32 threads: _beginthreadex, WaitForSingleObject and CloseHandle.
#include "platform/thread.h"

#include <process.h>
#include <windows.h>
#include <new>

namespace platform {

namespace {

struct ThreadStart {
  ThreadProc pfnProc;
  void* pArg;
};

// _beginthreadex calls __stdcall procedures; the portable procedures are plain functions.
unsigned __stdcall uThreadMain(void* pStart) {
  ThreadStart start = *static_cast<ThreadStart*>(pStart);
  delete static_cast<ThreadStart*>(pStart);
  return start.pfnProc(start.pArg);
}

}  // namespace

ThreadHandle hBeginThread(ThreadProc pfnProc, void* pArg) {
  if (pfnProc == nullptr) return nullptr;
  ThreadStart* pStart = new (std::nothrow) ThreadStart{pfnProc, pArg};
  if (pStart == nullptr) return nullptr;
  uintptr_t h = _beginthreadex(nullptr, 0, uThreadMain, pStart, 0, nullptr);
  if (h == 0) delete pStart;
  return reinterpret_cast<ThreadHandle>(h);
}

int iWaitThread(ThreadHandle hThread, uint32_t uMillis) {
  if (hThread == nullptr) return WAIT_RESULT_FAILED;
  switch (WaitForSingleObject(static_cast<HANDLE>(hThread), uMillis)) {
    case WAIT_OBJECT_0: return WAIT_RESULT_SIGNALLED;
    case WAIT_TIMEOUT: return WAIT_RESULT_TIMEOUT;
    default: return WAIT_RESULT_FAILED;
  }
}

void vCloseThread(ThreadHandle hThread) {
  if (hThread != nullptr) CloseHandle(static_cast<HANDLE>(hThread));
}

}  // namespace platform
