// CIdleReset: when a kiosk nobody touches goes back to its start page.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Polled by a timer with the time since the last mouse, touch or key input. A reset is due once
// input has come since the start or the last reset and none for the idle period; never while the
// quit question is open (it comes at the next poll after the answer, if still due). A kiosk left
// alone therefore stays on its start page: after a reset nothing more happens until someone
// touches it again.
class CIdleReset {
 public:
  // uIdleSeconds 0: never due.
  explicit CIdleReset(unsigned int uIdleSeconds);

  // One poll. uNowMs: the millisecond tick (wrapping); uInputIdleMs: milliseconds since the last
  // input, as the system reports it (it may be older than the kiosk). True: reset now; the reset
  // counts from this poll on.
  BOOL fPoll(uint32_t uNowMs, uint32_t uInputIdleMs, BOOL bQuestionOpen);

 private:
  uint32_t m_uIdleMs;
  BOOL m_bStarted;
  uint32_t m_uLastPollMs;
  // Milliseconds since the start or the last reset, held at its maximum instead of wrapping.
  uint32_t m_uSinceResetMs;
};
