// CInputPolicy: the kiosk's rules for mouse, wheel, menu key, new windows, window closing,
// scroll bars, window styles and input hooks.
#include "view/input_policy.h"

namespace {

void vAccessLog(CLogFile& log, const char* pszLine) { log.fWrite("%s", pszLine); }

}  // namespace

CInputPolicy::CInputPolicy(const CViewSettings& settings, CSystemLog& sysLog, CLogFile& accessLog)
    : m_settings(settings), m_sysLog(sysLog), m_accessLog(accessLog) {}

void CInputPolicy::vPreCreateWindow(platform::CWindowStyles& styles) const {
  styles.m_uExStyle &= ~platform::WINSTYLE_EX_CLIENTEDGE;
  if (m_settings.m_iTopMostLevel != 2) styles.m_uExStyle |= platform::WINSTYLE_EX_TOPMOST;
  styles.m_uStyle &= ~platform::WINSTYLE_BORDER;
}

void CInputPolicy::vInstallHooks(CInputHooks& hooks) const {
  if (hooks.fTXMouseHook()) {
    if (m_settings.m_iMouseOn != 0) {
      hooks.vTXStopHideCursor();
    } else {
      hooks.vTXStartHideCursor();
    }
    if (m_settings.m_iRightButton != 0) hooks.vTXStopRightClick();
  } else {
    m_sysLog.fWrite(LOG_ERROR, "%s", "Mouse Hook error\n");
  }
  if (m_settings.m_iFullScreen != 0) {
    hooks.vTarvenixDetectSetPostWindow();
    if (!hooks.fTarvenixDetectMouseHook(m_settings.m_iDetectSize, m_settings.m_iDetectPos,
                                        m_settings.m_iDetectInterval)) {
      m_sysLog.fWrite(LOG_ERROR, "%s", "Detect Mouse Hook error\n");
    }
  }
  if (!hooks.fTXKeyHook()) m_sysLog.fWrite(LOG_ERROR, "%s", "Key Hook error\n");
}

void CInputPolicy::vRemoveHooks(CInputHooks& hooks) const {
  hooks.vTXKeyUnhook();
  if (m_settings.m_iFullScreen != 0) hooks.vTarvenixDetectMouseUnhook();
  hooks.vTXMouseUnhook();
}

BOOL CInputPolicy::fPreTranslateMouse(platform::MouseMessage eMessage) const {
  if ((eMessage == platform::MOUSEMSG_RBUTTONDOWN || eMessage == platform::MOUSEMSG_RBUTTONDBLCLK) &&
      m_settings.m_iRightButton != 0) {
    vAccessLog(m_accessLog, "ユーザーによる右クリック->無視\n");
    if (m_pCounters != nullptr) m_pCounters->vRefusedInput(REFUSED_RIGHT_CLICK);
    return TRUE;
  }
  if (eMessage == platform::MOUSEMSG_LBUTTONDOWN || eMessage == platform::MOUSEMSG_LBUTTONDBLCLK) {
    vAccessLog(m_accessLog, "ユーザーによるクリック\n");
  }
  if (m_settings.m_iGestureZoomOff != 0 && eMessage == platform::MOUSEMSG_WHEEL) {
    vAccessLog(m_accessLog, "ユーザーによるホイール->無視\n");
    if (m_pCounters != nullptr) m_pCounters->vRefusedInput(REFUSED_WHEEL);
    return TRUE;
  }
  return FALSE;
}

BOOL CInputPolicy::fDropSysCommand(uint32_t uCode) const { return uCode == platform::SYSCMD_KEYMENU ? TRUE : FALSE; }

void CInputPolicy::vNewWindow2(BOOL* pbCancel) const {
  if (pbCancel != nullptr) *pbCancel = FALSE;
  if (m_settings.m_iNewWindow != 0) {
    vAccessLog(m_accessLog, "新規ウィンドウ->無視\n");
    if (m_pCounters != nullptr) m_pCounters->vRefusedInput(REFUSED_NEW_WINDOW);
    if (pbCancel != nullptr) *pbCancel = TRUE;
  }
}

void CInputPolicy::vWindowClosing(BOOL* pbCancel, CViewFrame& frame) const {
  if (pbCancel != nullptr) *pbCancel = FALSE;
  vAccessLog(m_accessLog, "ウィンドウクローズ\n");
  frame.vPostClose();
}

void CInputPolicy::vExitNotice(CViewFrame& frame) const { frame.vConfirmExit(); }

void CInputPolicy::vGetHostInfo(platform::CHostInfo& info) const {
  if (m_settings.m_iScroll != 0) {
    info.m_uFlags = platform::HOSTUI_NO3DBORDER | platform::HOSTUI_SCROLL_NO | platform::HOSTUI_NO3DOUTERBORDER;
  }
  info.m_uDoubleClick = platform::HOSTUI_DBLCLK_DEFAULT;
}
