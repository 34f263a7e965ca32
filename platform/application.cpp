// The framework's application object and command-line rule, the same on every platform.
#include "platform/application.h"

namespace platform {

namespace {
CApplication* g_pApp = nullptr;
}

CCommandLineInfo::CCommandLineInfo() : m_bRestartByRestartManager(FALSE) {}

CCommandLineInfo::~CCommandLineInfo() {}

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
  std::string param = pszParam != nullptr ? pszParam : "";
  if (bFlag) {
    if (param.rfind("RestartByRestartManager", 0) == 0) m_bRestartByRestartManager = TRUE;
  } else if (m_strFileName.empty()) {
    m_strFileName = param;
  }
}

void vParseWords(const std::vector<std::string>& words, CCommandLineInfo& info) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    BOOL bFlag = (!word.empty() && (word[0] == '-' || word[0] == '/')) ? TRUE : FALSE;
    info.ParseParam(bFlag ? word.c_str() + 1 : word.c_str(), bFlag, i + 1 == words.size() ? TRUE : FALSE);
  }
}

CApplication::CApplication() : m_uRestartFlags(0) { g_pApp = this; }

CApplication::~CApplication() {
  if (g_pApp == this) g_pApp = nullptr;
}

CApplication* CApplication::pGetApp() { return g_pApp; }

int CApplication::Run() { return ExitInstance(); }

int CApplication::ExitInstance() { return 0; }

void CApplication::ParseCommandLine(CCommandLineInfo& info) {
  std::vector<std::string> words;
  if (m_args.size() > 1) words.assign(m_args.begin() + 1, m_args.end());
  vParseWords(words, info);
}

void CApplication::SetRegistryKey(const char* pszKey) { m_strRegistryKey = pszKey != nullptr ? pszKey : ""; }

void CApplication::vSetRestartManagerSupport(unsigned int uFlags) { m_uRestartFlags = uFlags; }

void CApplication::SetAppID(const char* pszAppId) { m_strAppId = pszAppId != nullptr ? pszAppId : ""; }

int CApplication::iRunApplication(const std::vector<std::string>& args) {
  m_args = args;
  if (!InitInstance()) {
    int code = ExitInstance();
    return code != 0 ? code : 1;
  }
  return Run();
}

}  // namespace platform
