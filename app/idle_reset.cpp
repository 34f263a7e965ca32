// CIdleReset: the idle decision from the time since the last input and the time since the last reset.
#include "app/idle_reset.h"

#include <cstdint>

CIdleReset::CIdleReset(unsigned int uIdleSeconds)
    : m_uIdleMs(uIdleSeconds > UINT32_MAX / 1000 ? UINT32_MAX : uIdleSeconds * 1000),
      m_bStarted(FALSE),
      m_uLastPollMs(0),
      m_uSinceResetMs(0) {}

BOOL CIdleReset::fPoll(uint32_t uNowMs, uint32_t uInputIdleMs, BOOL bQuestionOpen) {
  if (!m_bStarted) {
    // The first poll stands for the start: input older than it is nobody's visit.
    m_bStarted = TRUE;
    m_uLastPollMs = uNowMs;
    m_uSinceResetMs = 0;
    return FALSE;
  }
  uint32_t uStep = uNowMs - m_uLastPollMs;
  m_uLastPollMs = uNowMs;
  m_uSinceResetMs = (UINT32_MAX - m_uSinceResetMs < uStep) ? UINT32_MAX : m_uSinceResetMs + uStep;
  if (m_uIdleMs == 0 || bQuestionOpen) return FALSE;
  BOOL bTouchedSinceReset = uInputIdleMs < m_uSinceResetMs;
  if (!bTouchedSinceReset || uInputIdleMs < m_uIdleMs) return FALSE;
  m_uSinceResetMs = 0;
  return TRUE;
}
