// Linux threads: pthreads, with an "ended" flag that a 0 ms wait can poll; the handle joins or
// detaches the thread when it is released.
#include "platform/thread.h"

#include <pthread.h>
#include <atomic>
#include <new>

#include "platform/clock.h"

namespace platform {

namespace {

struct ThreadRecord {
  pthread_t thread{};
  ThreadProc pfnProc = nullptr;
  void* pArg = nullptr;
  std::atomic<bool> bEnded{false};
  // Two owners: the handle and the running thread; the last one to let go frees the record.
  std::atomic<int> iOwners{2};
};

void vRelease(ThreadRecord* pRecord) {
  if (pRecord->iOwners.fetch_sub(1) == 1) delete pRecord;
}

void* pvThreadMain(void* pArg) {
  ThreadRecord* pRecord = static_cast<ThreadRecord*>(pArg);
  pRecord->pfnProc(pRecord->pArg);
  pRecord->bEnded.store(true);
  vRelease(pRecord);
  return nullptr;
}

}  // namespace

ThreadHandle hBeginThread(ThreadProc pfnProc, void* pArg) {
  if (pfnProc == nullptr) return nullptr;
  ThreadRecord* pRecord = new (std::nothrow) ThreadRecord;
  if (pRecord == nullptr) return nullptr;
  pRecord->pfnProc = pfnProc;
  pRecord->pArg = pArg;
  if (pthread_create(&pRecord->thread, nullptr, pvThreadMain, pRecord) != 0) {
    delete pRecord;
    return nullptr;
  }
  return pRecord;
}

int iWaitThread(ThreadHandle hThread, uint32_t uMillis) {
  if (hThread == nullptr) return WAIT_RESULT_FAILED;
  ThreadRecord* pRecord = static_cast<ThreadRecord*>(hThread);
  uint32_t uStart = uGetTickMs();
  for (;;) {
    if (pRecord->bEnded.load()) return WAIT_RESULT_SIGNALLED;
    if (uGetTickMs() - uStart >= uMillis) return WAIT_RESULT_TIMEOUT;
    vSleepMs(1);
  }
}

void vCloseThread(ThreadHandle hThread) {
  if (hThread == nullptr) return;
  ThreadRecord* pRecord = static_cast<ThreadRecord*>(hThread);
  if (pRecord->bEnded.load()) {
    pthread_join(pRecord->thread, nullptr);
  } else {
    pthread_detach(pRecord->thread);
  }
  vRelease(pRecord);
}

}  // namespace platform
