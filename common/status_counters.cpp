// CStatusCounters: the counts and moments of the kiosk's work since its start.
#include "common/status_counters.h"

#include "platform/clock.h"

double dWallClockNow() {
  platform::TimeStamp now;
  platform::vGetTimeNow(now);
  return static_cast<double>(now.llSeconds) + now.uMillis / 1000.0;
}

CStatusCounters::CStatusCounters()
    : m_pListener(nullptr),
      m_dStartTime(dWallClockNow()),
      m_dLastComplete(0),
      m_dLastError(0),
      m_uNavigations{},
      m_uRefused{},
      m_uRetries(0),
      m_uIdleResets(0) {}

void CStatusCounters::vChanged() {
  if (m_pListener != nullptr) m_pListener->vOnNavigationEvent();
}

void CStatusCounters::vNavigation(NavigationOutcome eOutcome) {
  if (eOutcome < 0 || eOutcome >= NAVOUT_COUNT) return;
  ++m_uNavigations[eOutcome];
  if (eOutcome == NAVOUT_COMPLETE) m_dLastComplete = dWallClockNow();
  if (eOutcome == NAVOUT_ERROR) m_dLastError = dWallClockNow();
  vChanged();
}

void CStatusCounters::vShownUrl(const std::string& strUrl) {
  m_strShownUrl = strUrl;
  vChanged();
}

void CStatusCounters::vRefusedInput(RefusedInput eKind) {
  if (eKind >= 0 && eKind < REFUSED_COUNT) ++m_uRefused[eKind];
}

void CStatusCounters::vEngineRecovery(const std::string& strReason) {
  for (auto& entry : m_recoveries) {
    if (entry.first == strReason) {
      ++entry.second;
      return;
    }
  }
  m_recoveries.emplace_back(strReason, 1);
}

void CStatusCounters::vRetry() { ++m_uRetries; }

void CStatusCounters::vIdleReset() { ++m_uIdleResets; }
