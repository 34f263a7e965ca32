// Dispatching the window messages that wait for the calling thread, for loops that wait and poll.
#pragma once

namespace platform {

// Removes and dispatches every window message pending for the calling thread (PeekMessageA with
// removal, TranslateMessage, DispatchMessageA) until none is left. Linux threads keep no
// message queue of their own, so there it does nothing.
void vDispatchPendingMessages();

}  // namespace platform
