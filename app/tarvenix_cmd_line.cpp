// CTarvenixCmdLine: the "URL" flag and its address.
#include "app/tarvenix_cmd_line.h"

#include <cstring>

CTarvenixCmdLine::CTarvenixCmdLine() : m_bUrlNext(FALSE) {}

CTarvenixCmdLine::~CTarvenixCmdLine() {}

void CTarvenixCmdLine::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
  if (bFlag) {
    if (std::strcmp(pszParam, "URL") == 0) m_bUrlNext = TRUE;
  } else if (m_bUrlNext) {
    m_strUrl = pszParam;
    m_bUrlNext = FALSE;
  }
  platform::CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
}
