// Time-stamped log files with line-count rotation (CLogFile) and severity levels (CSystemLog).
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/lock.h"
#include "platform/types.h"

enum LogLevel { LOG_ALL = 0, LOG_INFO = 1, LOG_NOTIFY = 2, LOG_WARNING = 3, LOG_ERROR = 4, LOG_FATAL = 5 };

// Appends one entry per message: "YYYY/MM/DD hh:mm:ss.f," (f: milliseconds without leading 0s)
// followed by the message bytes as formatted. Adds no line end of its own; "\n" is stored in the
// platform's text convention. Once the live file holds m_iMaxLines lines it is archived beside
// itself as ".1" to ".100" (first free number; all taken: all deleted, restart at ".1").
//
// Use: construct, fOpen or fOpenMonthFile before any thread writes, write from any thread (each
// object serialises its writes), destroy after the last write. A write before fOpen, or after a
// write could not open the file, returns false until the next fOpen.
class CLogFile {
 public:
  explicit CLogFile(int iBufferSize = 1024, BOOL bRotate = TRUE);
  virtual ~CLogFile();
  CLogFile(const CLogFile&) = delete;
  CLogFile& operator=(const CLogFile&) = delete;

  // Binds the log to a file. With the defaults nothing is opened here (and the result is true);
  // keep-open holds the stream between writes; discard accepts every write and writes nothing.
  BOOL fOpen(const std::string& strPath, BOOL bKeepOpen = FALSE, BOOL bDiscard = FALSE);

  // Binds the log to YYYYMM.log (year and month of now) in the directory (no trailing separator).
  BOOL fOpenMonthFile(const std::string& strDir);

  // Formats the message and appends one entry. Messages longer than the buffer less one byte are
  // cut there and followed by ":途中で切り捨てました\n".
  BOOL fWrite(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

  // Threshold of CSystemLog's level-taking fWrite; public, the owner sets it.
  int m_iLevel;

 protected:
  // One entry under the lock; pszLevel is the level name for CSystemLog, null for none.
  BOOL fWriteEntry(int iLevel, const char* pszLevel, const char* pszFormat, va_list args);

 private:
  unsigned int iCountLines();
  BOOL fRotate();
  BOOL fOpenStream(const char* pszMode);
  void vCloseStream();

  BOOL m_bKeepOpen;
  BOOL m_bOpened;
  std::string m_strPath;
  int m_iBufferSize;
  FILE* m_fp;
  BOOL m_bDiscard;
  BOOL m_bRotate;

 public:
  // Rotation limits; public so that the owner (and a benchmark) may tune them.
  uint32_t m_iMaxLines;

 private:
  uint32_t m_iLines;
  platform::CLock m_cs;
};

// A CLogFile whose entries start with the level name in double quotes and a comma; messages
// below m_iLevel are dropped (and count as written).
class CSystemLog : public CLogFile {
 public:
  using CLogFile::CLogFile;
  ~CSystemLog() override;

  BOOL fWrite(LogLevel eLevel, const char* pszFormat, ...) __attribute__((format(printf, 3, 4)));

  // The name written for a level: "All", "Info", "Notify", "Warning", "Error", "Fatal".
  static const char* pszLevelName(int iLevel);
};
