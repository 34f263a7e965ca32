// CTarvenixCmdLine: the command line of Tarvenix, whose one flag "URL" names an address to open.
#pragma once

#include <string>

#include "platform/application.h"

// "/URL address" or "-URL address" (the flag case-sensitive) sets m_strUrl; the last address wins;
// other flags between the flag and its address do not cancel it; an address without the flag is
// not taken. Every word also reaches the framework's own ParseParam.
class CTarvenixCmdLine : public platform::CCommandLineInfo {
 public:
  CTarvenixCmdLine();
  ~CTarvenixCmdLine() override;
  void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) override;

  BOOL m_bUrlNext;  // the flag has been seen and its address is awaited
  std::string m_strUrl;
};
