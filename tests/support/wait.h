// Test helper: wait for a condition instead of a fixed time.
#pragma once

#include <cstdint>
#include <functional>

namespace txtest {

// Asks done() at once and then every uPollMs until it holds (true) or uMillis have passed since
// the call (false); done() is asked once more when the time is up, so a condition that came true
// during the last pause still counts.
bool fWaitUntil(const std::function<bool()>& done, uint32_t uMillis, uint32_t uPollMs = 50);

}  // namespace txtest
