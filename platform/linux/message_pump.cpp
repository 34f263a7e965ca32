// Linux message pump: threads here have no window-message queue, so there is nothing to dispatch.
#include "platform/message_pump.h"

namespace platform {

void vDispatchPendingMessages() {}

}  // namespace platform
