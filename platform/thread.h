// Threads started the way the C runtime's _beginthreadex starts them, polled and released by handle.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

// The handle of a started thread; null for none.
typedef void* ThreadHandle;

// The procedure form of _beginthreadex: one pointer argument, an unsigned result.
typedef unsigned (*ThreadProc)(void* pArg);

enum { WAIT_RESULT_SIGNALLED = 0, WAIT_RESULT_TIMEOUT = 1, WAIT_RESULT_FAILED = 2 };

// Starts pfnProc(pArg) at once on a new thread with the default stack. Null when it could not start.
ThreadHandle hBeginThread(ThreadProc pfnProc, void* pArg);

// Waits up to uMillis for the thread to end: WAIT_RESULT_SIGNALLED once it has ended,
// WAIT_RESULT_TIMEOUT while it runs, WAIT_RESULT_FAILED for a null or bad handle.
int iWaitThread(ThreadHandle hThread, uint32_t uMillis);

// Releases the handle. A thread that still runs goes on running, detached.
void vCloseThread(ThreadHandle hThread);

}  // namespace platform
