// Win32 start-up services of the framework: error mode, common controls, OLE, restart manager.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shobjidl.h>

#include <string>

#include "platform/application.h"

namespace platform {

static std::wstring strWide(const std::string& text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}

BOOL CApplication::InitInstance() {
  // Restart only (flag 1): the restart manager restarts the program with the framework's flag.
  if (m_uRestartFlags & 1) RegisterApplicationRestart(L"-RestartByRestartManager", 0);
  if (!m_strAppId.empty()) SetCurrentProcessExplicitAppUserModelID(strWide(m_strAppId).c_str());
  return TRUE;
}

void vSetErrorMode(unsigned int uMode) { SetErrorMode(uMode); }

BOOL fInitCommonControls() {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
  return InitCommonControlsEx(&icc) ? TRUE : FALSE;
}

BOOL fOleInit() { return SUCCEEDED(OleInitialize(nullptr)) ? TRUE : FALSE; }

void vOleTerm() { OleUninitialize(); }

void vShowStartupError(const char* pszText, const char* pszCaption) {
  MessageBoxA(nullptr, pszText, pszCaption, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace platform
