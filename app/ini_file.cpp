// CIniFile: profile reads with a 260-byte buffer, strtol conversion, writes followed by a flush.
#include "app/ini_file.h"

#include <climits>
#include <cstdlib>

#include "platform/profile.h"

namespace {
const char kSection[] = "Setting";
const unsigned int kValueBuffer = 260;
}  // namespace

CIniFile::CIniFile() {}

CIniFile::~CIniFile() {}

BOOL CIniFile::fGetString(const char* pszKey, std::string& strOut, const char* pszDefault) {
  char buf[kValueBuffer] = {};
  platform::uGetPrivateProfileString(kSection, pszKey, pszDefault, buf, kValueBuffer, m_strFile.c_str());
  strOut = buf;
  return TRUE;
}

BOOL CIniFile::fGetInt(const char* pszKey, int& iOut) {
  std::string text;
  fGetString(pszKey, text, "-1");
  long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value > INT_MAX) value = INT_MAX;
  if (value < INT_MIN) value = INT_MIN;
  iOut = static_cast<int>(value);
  return TRUE;
}

BOOL CIniFile::fSetInt(const char* pszKey, int iValue) { return fSetString(pszKey, std::to_string(iValue).c_str()); }

BOOL CIniFile::fSetString(const char* pszKey, const char* pszValue) {
  BOOL written = platform::fWritePrivateProfileString(kSection, pszKey, pszValue, m_strFile.c_str());
  platform::fWritePrivateProfileString(nullptr, nullptr, nullptr, m_strFile.c_str());
  return written;
}
