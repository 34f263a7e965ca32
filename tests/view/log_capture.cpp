// CLogCapture: logs on temporary files and their entries without time stamps.
#include "log_capture.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/module_path.h"
#include "tests/support/spawn.h"

namespace {

// What "\n" becomes in a text-mode file on this platform.
std::string strTextLineEnd() {
  std::string path;
  if (!platform::fCreateTempFile("~lc", path)) return "\n";
  FILE* fp = std::fopen(path.c_str(), "w");
  if (fp != nullptr) {
    std::fputs("\n", fp);
    std::fclose(fp);
  }
  std::string end = txtest::strReadFile(path);
  std::remove(path.c_str());
  return end.empty() ? "\n" : end;
}

}  // namespace

CLogCapture::CLogCapture() {
  EXPECT_TRUE(platform::fCreateTempFile("~sys", m_strSysPath));
  EXPECT_TRUE(platform::fCreateTempFile("~acc", m_strAccessPath));
  EXPECT_TRUE(m_sysLog.fOpen(m_strSysPath));
  EXPECT_TRUE(m_accessLog.fOpen(m_strAccessPath));
  m_sysLog.m_iLevel = LOG_ALL;
}

CLogCapture::~CLogCapture() {
  std::remove(m_strSysPath.c_str());
  std::remove(m_strAccessPath.c_str());
}

std::string CLogCapture::strMessages(const std::string& strPath) {
  static const std::string kLineEnd = strTextLineEnd();
  std::string raw = txtest::strReadFile(strPath);
  std::string out;
  size_t pos = 0;
  while (pos < raw.size()) {
    size_t end = raw.find(kLineEnd, pos);
    std::string line = raw.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? raw.size() : end + kLineEnd.size();
    // An entry is ["Level",]YYYY/MM/DD hh:mm:ss.f,message.
    std::string level;
    if (!line.empty() && line[0] == '"') {
      size_t close = line.find("\",");
      if (close != std::string::npos) {
        level = line.substr(0, close + 2);
        line.erase(0, close + 2);
      }
    }
    size_t comma = line.find(',');
    if (comma != std::string::npos) line.erase(0, comma + 1);
    out += level + line + (end == std::string::npos ? "<bad line end>" : "\n");
  }
  return out;
}
