// fWaitUntil: polls on the platform's tick counter.
#include "tests/support/wait.h"

#include "platform/clock.h"

namespace txtest {

bool fWaitUntil(const std::function<bool()>& done, uint32_t uMillis, uint32_t uPollMs) {
  const uint32_t uStart = platform::uGetTickMs();
  for (;;) {
    if (done()) return true;
    if (platform::uGetTickMs() - uStart >= uMillis) return false;
    platform::vSleepMs(uPollMs);
  }
}

}  // namespace txtest
