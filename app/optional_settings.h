// COptionalSettings: the settings that only an operator who wants them writes into the file.
#pragma once

#include <string>

#include "app/ini_file.h"
#include "common/log_file.h"

// Keys of section "Setting" beyond the eighteen the program completes the file with. Each is read
// only when present and never written: a file written from nothing has none of them. A bad value
// writes one line "設定ファイル <key>不正[<value>] 無効\n" at LOG_ERROR and leaves that feature
// off; no value of these keys stops the program. An absent key gives the field's initial value.
struct COptionalSettings {
  // Seconds an engine may stop answering before it is ended and recovered; 0: no watch.
  int m_iHangTimeout = 30;
  // Seconds between requests of a start page that could not be reached; 0: no retry.
  int m_iRetryInterval = 0;
  // MiB of memory the engine may use before it is recovered; 0: no limit.
  int m_iMemoryLimit = 0;
  // 1: the screen saver and display power-down are held off while the kiosk runs.
  int m_iKeepDisplayOn = 0;
  // Seconds without input after which the kiosk returns to its start page; 0: never.
  int m_iIdleReset = 0;
  // Address patterns separated by ";"; empty: every address is allowed.
  std::string m_strAllowUrl;
  // The status file's path: the value 1 names "Tarvenix.prom" beside the program, 0 none, and a
  // relative path lies in the program's folder. Empty: no status file.
  std::string m_strStatusFile;
  // Seconds between screenshots of the view; 0: none.
  int m_iScreenshotInterval = 0;

  // Reads every optional key of the file. strProgramDir: the program's folder, without a
  // trailing separator (for the status file's default name).
  void vLoad(CIniFile& ini, CSystemLog& sysLog, const std::string& strProgramDir);
};

// A key's value as the program reads optional keys: the whole value up to 4095 bytes (quotes
// removed as for every key). False when the key is not in the file.
BOOL fReadOptionalKey(CIniFile& ini, const char* pszKey, std::string& strValue);

// A whole decimal number from iMin to iMax, blanks around it allowed; false for anything else
// (no digits, other characters, a sign where iMin is 0, out of range).
BOOL fParseBoundedInt(const std::string& strText, int iMin, int iMax, int& iValue);
