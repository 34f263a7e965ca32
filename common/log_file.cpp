// CLogFile and CSystemLog: per-write appends, truncation marker and numbered archives.
#include "common/log_file.h"

#include <cstring>
#include <memory>
#include <new>

#include "common/date_time.h"
#include "common/file_path.h"
#include "platform/file_system.h"

namespace {

const char kCutMarker[] = ":途中で切り捨てました\n";
const int kMaxArchives = 100;

std::string strArchiveName(const std::string& path, int n) { return path + "." + std::to_string(n); }

// "YYYY/MM/DD hh:mm:ss.f," from the compact text YYYYMMDDhhmmss + milliseconds.
std::string strTimeStamp() {
  std::string c;
  if (!CDateTime::fGetString(c, DT_COMPACT) || c.size() < 15) return ",";
  return c.substr(0, 4) + "/" + c.substr(4, 2) + "/" + c.substr(6, 2) + " " + c.substr(8, 2) + ":" + c.substr(10, 2) +
         ":" + c.substr(12, 2) + "." + c.substr(14) + ",";
}

}  // namespace

CLogFile::CLogFile(int iBufferSize, BOOL bRotate)
    : m_iLevel(LOG_ERROR),
      m_bKeepOpen(FALSE),
      m_bOpened(FALSE),
      m_iBufferSize(iBufferSize > 1 ? iBufferSize : 2),
      m_fp(nullptr),
      m_bDiscard(FALSE),
      m_bRotate(bRotate),
      m_iMaxLines(10000),
      m_iLines(0) {}

CLogFile::~CLogFile() {
  vCloseStream();
  m_bOpened = FALSE;
}

BOOL CLogFile::fOpenStream(const char* pszMode) {
  m_fp = platform::pOpenFile(m_strPath.c_str(), pszMode);
  return m_fp != nullptr ? TRUE : FALSE;
}

void CLogFile::vCloseStream() {
  if (m_fp != nullptr) std::fclose(m_fp);
  m_fp = nullptr;
}

BOOL CLogFile::fOpen(const std::string& strPath, BOOL bKeepOpen, BOOL bDiscard) {
  vCloseStream();
  m_bOpened = FALSE;
  m_strPath = strPath;
  m_bDiscard = bDiscard;
  if (bKeepOpen || bDiscard) {
    m_bKeepOpen = TRUE;
    if (m_strPath.empty()) return FALSE;
    if (!bDiscard && !fOpenStream("a")) return FALSE;
  }
  m_bOpened = TRUE;
  m_iLines = iCountLines();
  return TRUE;
}

BOOL CLogFile::fOpenMonthFile(const std::string& strDir) {
  std::string now;
  CDateTime::fGetString(now, DT_COMPACT);
  CFilePath path;
  path.vSetPath(strDir + platform::cPathSeparator());
  path.vSetFileName(now.substr(0, 6) + ".log");
  return fOpen(path.strGetFullPath());
}

BOOL CLogFile::fWrite(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  BOOL result = fWriteEntry(0, nullptr, pszFormat, args);
  va_end(args);
  return result;
}

BOOL CLogFile::fWriteEntry(int iLevel, const char* pszLevel, const char* pszFormat, va_list args) {
  platform::CLockHolder hold(m_cs);
  BOOL result = FALSE;
  do {
    if (!m_bOpened) break;
    if (pszLevel != nullptr && iLevel < m_iLevel) {
      result = TRUE;
      break;
    }
    // Per-write mode opens here; so does a kept-open log whose stream a later fOpen with the
    // defaults did not open (the keep-open mode, once set, stays).
    if (!m_bKeepOpen && m_strPath.empty()) {
      m_bOpened = FALSE;
      break;
    }
    if (!m_bDiscard && m_fp == nullptr && !fOpenStream("a")) {
      m_bOpened = FALSE;
      break;
    }
    if (!m_bDiscard && m_bRotate && m_iLines >= m_iMaxLines && fRotate()) {
      m_iLines = 0;
      vCloseStream();
      if (m_strPath.empty() || !fOpenStream("a")) {
        m_bOpened = FALSE;
        break;
      }
    }
    if (!m_bDiscard) {
      if (pszLevel != nullptr) std::fprintf(m_fp, "\"%s\",", pszLevel);
      std::fputs(strTimeStamp().c_str(), m_fp);
    }
    result = TRUE;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[m_iBufferSize]);
    if (!buffer) break;
    std::memset(buffer.get(), 0, m_iBufferSize);
    int written = std::vsnprintf(buffer.get(), m_iBufferSize, pszFormat, args);
    buffer[m_iBufferSize - 1] = '\0';
    if (!m_bDiscard) {
      std::fputs(buffer.get(), m_fp);
      if (written < 0 || written >= m_iBufferSize) std::fputs(kCutMarker, m_fp);
      std::fflush(m_fp);
      m_iLines++;
    }
  } while (false);
  if (!m_bKeepOpen && !m_bDiscard) vCloseStream();
  return result;
}

unsigned int CLogFile::iCountLines() {
  if (m_strPath.empty()) return 0;
  FILE* fp = platform::pOpenFile(m_strPath.c_str(), "rt");
  if (fp == nullptr) return 0;
  unsigned int lines = 0;
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[m_iBufferSize]);
  if (buffer) {
    while (std::fgets(buffer.get(), m_iBufferSize, fp) != nullptr) lines++;
  }
  std::fclose(fp);
  return lines;
}

// Copies the live file into the first free archive and empties it. The live file is emptied
// only once its copy is complete, so a failed archive loses no line: the next write retries.
// The copy is byte for byte (binary streams), so a stray end-of-file byte in a message cannot
// end the copy early on Windows and drop the lines after it.
BOOL CLogFile::fRotate() {
  if (m_strPath.empty()) return FALSE;
  FILE* live = platform::pOpenFile(m_strPath.c_str(), "rb");
  if (live == nullptr) return FALSE;

  std::string archive;
  for (int n = 1; n <= kMaxArchives && archive.empty(); ++n) {
    if (!platform::fIsRegularFile(strArchiveName(m_strPath, n).c_str())) archive = strArchiveName(m_strPath, n);
  }
  if (archive.empty()) {
    for (int n = 1; n <= kMaxArchives; ++n) platform::fDeleteFile(strArchiveName(m_strPath, n).c_str());
    archive = strArchiveName(m_strPath, 1);
  }

  BOOL copied = FALSE;
  FILE* out = platform::pOpenFile(archive.c_str(), "wb");
  if (out != nullptr) {
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[m_iBufferSize]);
    if (buffer) {
      size_t n;
      while ((n = std::fread(buffer.get(), 1, m_iBufferSize, live)) > 0) std::fwrite(buffer.get(), 1, n, out);
      copied = !std::ferror(live) && !std::ferror(out);
    }
    if (std::fclose(out) != 0) copied = FALSE;
    if (!copied) platform::fDeleteFile(archive.c_str());
  }
  std::fclose(live);
  if (!copied) return FALSE;

  FILE* empty = platform::pOpenFile(m_strPath.c_str(), "wt");
  if (empty != nullptr) std::fclose(empty);
  return TRUE;
}

CSystemLog::~CSystemLog() = default;

const char* CSystemLog::pszLevelName(int iLevel) {
  static const char* const names[] = {"All", "Info", "Notify", "Warning", "Error", "Fatal"};
  return (iLevel >= LOG_ALL && iLevel <= LOG_FATAL) ? names[iLevel] : "Unknown";
}

BOOL CSystemLog::fWrite(LogLevel eLevel, const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  BOOL result = fWriteEntry(eLevel, pszLevelName(eLevel), pszFormat, args);
  va_end(args);
  return result;
}
