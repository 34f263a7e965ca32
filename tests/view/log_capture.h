// A program log and an access log bound to temporary files, read back as their message bytes.
#pragma once

#include <cstdio>
#include <string>

#include "common/log_file.h"

// The program log's threshold is LOG_ALL, so trace lines are kept. strSysLog() and
// strAccessLog() return every entry without its time stamp ("\"All\",message" for the program
// log, "message" for the access log) with the platform's line end turned into "\n"; a line that
// does not end in the platform's line end shows up as "<bad line end>".
class CLogCapture {
 public:
  CLogCapture();
  ~CLogCapture();
  CLogCapture(const CLogCapture&) = delete;
  CLogCapture& operator=(const CLogCapture&) = delete;

  std::string strSysLog() const { return strMessages(m_strSysPath); }
  std::string strAccessLog() const { return strMessages(m_strAccessPath); }

  CSystemLog m_sysLog;
  CLogFile m_accessLog;

 private:
  static std::string strMessages(const std::string& strPath);

  std::string m_strSysPath;
  std::string m_strAccessPath;
};
