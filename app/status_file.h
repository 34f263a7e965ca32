// CStatusFile: the kiosk's state for monitoring, a file in the Prometheus text exposition format.
#pragma once

#include <cstdint>
#include <string>

#include "common/log_file.h"
#include "common/status_counters.h"
#include "platform/types.h"

// The file's text (format version 0.0.4): each series with its HELP and TYPE lines, names with
// the prefix "tarvenix_", times in seconds since 1970 (UTC) with milliseconds. bMemoryKnown
// false leaves out the memory series; dNow is the moment written as tarvenix_status_time_seconds.
std::string strStatusText(const CStatusCounters& counters, BOOL bMemoryKnown, uint64_t uResidentBytes, double dNow);

// A label value as the format writes it: backslash, double quote and line feed escaped. Other
// control bytes and every byte from 0x7F up are written as %XX (as in an address), so that the
// text is valid UTF-8 whatever the code page of the value (CP932 on Windows).
std::string strLabelValue(const std::string& strValue);

// Writes the file at every navigation event (as the counters' listener) and whenever the owner
// asks (its timer). Each write replaces the file whole (a temporary file and a rename), so a
// reader sees the old text or the new one. A failed write is logged once at LOG_ERROR as
// "ステータスファイル書き込みに失敗[<path>]\n" and again only after a write has succeeded. The
// counters and the log must outlive it. UI thread only.
class CStatusFile : public CStatusListener {
 public:
  CStatusFile(const std::string& strPath, CStatusCounters& counters, CSystemLog& sysLog);
  ~CStatusFile() override;

  BOOL fWrite();
  void vOnNavigationEvent() override { fWrite(); }

 private:
  std::string m_strPath;
  CStatusCounters& m_counters;
  CSystemLog& m_sysLog;
  BOOL m_bFailureLogged;
};
