// CStatusCounters: what the kiosk has done since its start, as the status file reports it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How a navigation of the page ended: its document completed, it failed, or the allow-list
// refused it before anything was fetched.
enum NavigationOutcome { NAVOUT_COMPLETE, NAVOUT_ERROR, NAVOUT_REFUSED, NAVOUT_COUNT };

// The kinds of input the view refuses (each one an access-log line ending in "->無視").
enum RefusedInput { REFUSED_RIGHT_CLICK, REFUSED_WHEEL, REFUSED_NEW_WINDOW, REFUSED_GESTURE, REFUSED_COUNT };

// Told after every change that a navigation event made (the status file is written then).
class CStatusListener {
 public:
  virtual ~CStatusListener() = default;
  virtual void vOnNavigationEvent() = 0;
};

// Counters and moments, kept by the parts of the program that see them happen (the page view,
// the main frame) and read by the status file. Times are seconds since 1970 (UTC) with
// milliseconds, taken from the wall clock when the event is counted; 0 when it never happened.
// UI thread only.
class CStatusCounters {
 public:
  CStatusCounters();

  void vSetListener(CStatusListener* pListener) { m_pListener = pListener; }

  // The page's (start frame's) navigation ended; NAVOUT_COMPLETE and NAVOUT_ERROR also set the
  // time of the last completed document or of the last error. Tells the listener.
  void vNavigation(NavigationOutcome eOutcome);
  // The address the page shows now (empty before the first navigation). Tells the listener.
  void vShownUrl(const std::string& strUrl);
  void vRefusedInput(RefusedInput eKind);
  // The engine was ended and started again; strReason a short word in snake case ("crash",
  // "hang", "memory", ...). Each reason has its own count.
  void vEngineRecovery(const std::string& strReason);
  // A start page that could not be reached was asked for again.
  void vRetry();
  // The kiosk went back to its start page after nobody touched it.
  void vIdleReset();

  double dStartTime() const { return m_dStartTime; }
  double dLastCompleteTime() const { return m_dLastComplete; }
  double dLastErrorTime() const { return m_dLastError; }
  uint64_t uNavigations(NavigationOutcome eOutcome) const { return m_uNavigations[eOutcome]; }
  uint64_t uRefusedInputs(RefusedInput eKind) const { return m_uRefused[eKind]; }
  // The recovery counts, in the order their reasons first came.
  const std::vector<std::pair<std::string, uint64_t>>& recoveries() const { return m_recoveries; }
  uint64_t uRetries() const { return m_uRetries; }
  uint64_t uIdleResets() const { return m_uIdleResets; }
  const std::string& strShownUrl() const { return m_strShownUrl; }

 private:
  void vChanged();

  CStatusListener* m_pListener;
  double m_dStartTime;
  double m_dLastComplete;
  double m_dLastError;
  uint64_t m_uNavigations[NAVOUT_COUNT];
  uint64_t m_uRefused[REFUSED_COUNT];
  std::vector<std::pair<std::string, uint64_t>> m_recoveries;
  uint64_t m_uRetries;
  uint64_t m_uIdleResets;
  std::string m_strShownUrl;
};

// The wall clock as the counters read it: seconds since 1970 (UTC) with milliseconds.
double dWallClockNow();
