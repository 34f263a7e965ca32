// COptionalSettings: reading and checking the keys an operator adds for the optional features.
#include "app/optional_settings.h"

#include <climits>

#include "common/file_path.h"
#include "platform/file_system.h"
#include "platform/profile.h"

namespace {

const char kSection[] = "Setting";
const unsigned int kOptionalValueBuffer = 4096;
const int kMaxSeconds = 86400;
const int kMaxMemoryMiB = 1024 * 1024;

std::string strTrimmed(const std::string& strText) {
  size_t uFirst = strText.find_first_not_of(" \t");
  if (uFirst == std::string::npos) return std::string();
  size_t uLast = strText.find_last_not_of(" \t");
  return strText.substr(uFirst, uLast - uFirst + 1);
}

// A path without a drive and not starting at a root lies in the program's folder.
BOOL fIsRelativePath(const std::string& strPath) {
  CFilePath path(strPath);
  return path.m_strDrive.empty() && (strPath[0] != '/' && strPath[0] != '\\') ? TRUE : FALSE;
}

void vReportBad(CSystemLog& sysLog, const char* pszKey, const std::string& strValue) {
  sysLog.fWrite(LOG_ERROR, "設定ファイル %s不正[%s] 無効\n", pszKey, strValue.c_str());
}

// An optional number: absent keeps iField, a bad value reports and sets iOff.
void vLoadInt(CIniFile& ini, CSystemLog& sysLog, const char* pszKey, int iMax, int iOff, int& iField) {
  std::string strValue;
  if (!fReadOptionalKey(ini, pszKey, strValue)) return;
  int iValue = 0;
  if (fParseBoundedInt(strValue, 0, iMax, iValue)) {
    iField = iValue;
    return;
  }
  vReportBad(sysLog, pszKey, strValue);
  iField = iOff;
}

}  // namespace

BOOL fReadOptionalKey(CIniFile& ini, const char* pszKey, std::string& strValue) {
  // The profile calls cannot tell a missing key from one whose value is the default, so the key
  // is read with two different defaults: a key in the file reads the same both times.
  char szFirst[kOptionalValueBuffer] = {};
  char szSecond[kOptionalValueBuffer] = {};
  platform::uGetPrivateProfileString(kSection, pszKey, "\x01", szFirst, kOptionalValueBuffer, ini.m_strFile.c_str());
  platform::uGetPrivateProfileString(kSection, pszKey, "\x02", szSecond, kOptionalValueBuffer, ini.m_strFile.c_str());
  if (std::string(szFirst) != szSecond) return FALSE;
  strValue = szFirst;
  return TRUE;
}

BOOL fParseBoundedInt(const std::string& strText, int iMin, int iMax, int& iValue) {
  std::string strDigits = strTrimmed(strText);
  BOOL bNegative = FALSE;
  size_t uPos = 0;
  if (!strDigits.empty() && (strDigits[0] == '+' || strDigits[0] == '-')) {
    bNegative = strDigits[0] == '-';
    uPos = 1;
  }
  if (uPos >= strDigits.size()) return FALSE;
  long long llValue = 0;
  for (; uPos < strDigits.size(); ++uPos) {
    char c = strDigits[uPos];
    if (c < '0' || c > '9') return FALSE;
    llValue = llValue * 10 + (c - '0');
    if (llValue > INT_MAX) return FALSE;
  }
  if (bNegative) llValue = -llValue;
  if (llValue < iMin || llValue > iMax) return FALSE;
  iValue = static_cast<int>(llValue);
  return TRUE;
}

void COptionalSettings::vLoad(CIniFile& ini, CSystemLog& sysLog, const std::string& strProgramDir) {
  vLoadInt(ini, sysLog, "HangTimeout", kMaxSeconds, 0, m_iHangTimeout);
  vLoadInt(ini, sysLog, "RetryInterval", kMaxSeconds, 0, m_iRetryInterval);
  vLoadInt(ini, sysLog, "MemoryLimit", kMaxMemoryMiB, 0, m_iMemoryLimit);
  vLoadInt(ini, sysLog, "KeepDisplayOn", 1, 0, m_iKeepDisplayOn);
  vLoadInt(ini, sysLog, "IdleReset", kMaxSeconds, 0, m_iIdleReset);
  vLoadInt(ini, sysLog, "ScreenshotInterval", kMaxSeconds, 0, m_iScreenshotInterval);

  std::string strValue;
  if (fReadOptionalKey(ini, "AllowUrl", strValue)) {
    m_strAllowUrl = strTrimmed(strValue);
    // Only separators and blanks would refuse every address but the start page: a slip, not a list.
    if (m_strAllowUrl.find_first_not_of("; \t") == std::string::npos) {
      vReportBad(sysLog, "AllowUrl", strValue);
      m_strAllowUrl.clear();
    }
  }
  if (fReadOptionalKey(ini, "StatusFile", strValue)) {
    std::string strPath = strTrimmed(strValue);
    if (strPath == "1") {
      m_strStatusFile = strProgramDir + platform::cPathSeparator() + "Tarvenix.prom";
    } else if (strPath == "0") {
      m_strStatusFile.clear();
    } else if (strPath.empty()) {
      vReportBad(sysLog, "StatusFile", strValue);
      m_strStatusFile.clear();
    } else if (fIsRelativePath(strPath)) {
      m_strStatusFile = strProgramDir + platform::cPathSeparator() + strPath;
    } else {
      m_strStatusFile = strPath;
    }
  }
}
