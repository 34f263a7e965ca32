// CMainFrame: window creation, the start, top-most and signal timers, and the quit question.
#include "app/main_frame.h"

#include <new>

#include "app/tarvenix_app.h"
#include "common/file_path.h"
#include "platform/clock.h"
#include "platform/edge_gesture.h"
#include "platform/file_system.h"
#include "platform/input_idle.h"
#include "platform/message_box.h"
#include "res/resource.h"
#include "view/child_view.h"

namespace {

// MB_YESNO | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST | MB_SERVICE_NOTIFICATION.
const uint32_t kQuitQuestionStyle = 0x00252004;
const unsigned int kStartPeriodMs = 200;
const unsigned int kTopMostPeriodMs = 800;
const unsigned int kSignalPeriodMs = 500;
const unsigned int kIdlePeriodMs = 500;
const unsigned int kStatusPeriodMs = 30000;

}  // namespace

namespace {

CViewSettings viewSettingsOf(const CTarvenixApp& app) {
  CViewSettings s;
  s.m_iFullScreen = app.m_iFullScreen;
  s.m_iNewWindow = app.m_iNewWindow;
  s.m_iRightButton = app.m_iRightButton;
  s.m_iScroll = app.m_iScroll;
  s.m_iMouseOn = app.m_iMouseOn;
  s.m_iTopMostLevel = app.m_iTopMostLevel;
  s.m_iGestureOff = app.m_iGestureOff;
  s.m_iGestureZoomOff = app.m_iGestureZoomOff;
  s.m_iGesturePanOff = app.m_iGesturePanOff;
  s.m_iGestureRotateOff = app.m_iGestureRotateOff;
  s.m_iGestureTwoFingerTapOff = app.m_iGestureTwoFingerTapOff;
  s.m_iGesturePressAndTapOff = app.m_iGesturePressAndTapOff;
  s.m_iDetectSize = app.m_iDetectSize;
  s.m_iDetectPos = app.m_iDetectPos;
  s.m_iDetectInterval = app.m_iDetectInterval;
  return s;
}

}  // namespace

CMainFrame::CMainFrame(CTarvenixApp& app, BOOL bHardwareAcceleration)
    : m_app(app),
      m_viewSettings(viewSettingsOf(app)),
      m_bHardwareAcceleration(bHardwareAcceleration),
      m_pView(nullptr),
      m_uStartTimer(0),
      m_uTopMostTimer(0),
      m_uSignalTimer(0),
      m_uIdleTimer(0),
      m_uStatusTimer(0),
      m_uScreenshotTimer(0),
      m_idle(app.m_Optional.m_iIdleReset > 0 ? static_cast<unsigned int>(app.m_Optional.m_iIdleReset) : 0),
      m_bTopMostDone(FALSE),
      m_bBusy(FALSE),
      m_bConfirming(FALSE) {}

// The presenter goes first, so that no answer reaches a frame whose members are being destroyed.
CMainFrame::~CMainFrame() { vClose(); }

BOOL CMainFrame::fLoadFrame() {
  for (const CResMenuItem* item = g_resMainMenu; item->pszText != nullptr; ++item) {
    if (item->uCommand == 0)
      vAddMenuPopup(item->pszText);
    else
      vAddMenuItem(item->pszText, item->uCommand);
  }
  vSetAboutText(g_pszAboutTitle, g_pszAboutText);
  if (!fCreate("Tarvenix", "TarvenixClass", TRUE)) return FALSE;
  vShow();
  return TRUE;
}

int CMainFrame::OnCreate() {
  m_pView = new (std::nothrow) CChildView(m_viewSettings, m_app.m_SysLog, m_app.m_AccessLog, *this);
  if (m_pView == nullptr) {
    fPostClose();
    return -1;
  }
  vSetUpOperatorFeatures();
  if (!m_pView->fCreate(*this, m_bHardwareAcceleration)) {
    m_pView = nullptr;  // a view that could not be created has deleted itself
    fPostClose();
    return -1;
  }
  m_strCaption = "Tarvenix";
  vNavigate("");

  if (!fRestartTimer(m_uStartTimer, TIMER_START, kStartPeriodMs) || !fStartTopMostTimer() || !fStartSignalTimer()) {
    fPostClose();
    return -1;
  }
  vStartOperatorTimers();
  return 0;
}

void CMainFrame::vSetUpOperatorFeatures() {
  const COptionalSettings& optional = m_app.m_Optional;
  if (!optional.m_strAllowUrl.empty()) {
    std::string strBad;
    if (m_allowList.fLoad(optional.m_strAllowUrl, strBad)) {
      m_allowList.vAlwaysAllow(m_app.m_strBlank.empty() ? "about:blank" : m_app.m_strBlank);
      if (!m_app.m_strUrl.empty()) m_allowList.vAlwaysAllow(m_app.m_strUrl);
    } else {
      m_app.m_SysLog.fWrite(LOG_ERROR, "設定ファイル AllowUrl不正[%s] 無効\n", strBad.c_str());
    }
  }
  if (!optional.m_strStatusFile.empty())
    m_pStatusFile = std::make_unique<CStatusFile>(optional.m_strStatusFile, m_app.m_Status, m_app.m_SysLog);
  if (optional.m_iScreenshotInterval > 0) {
    std::string strPath = CFilePath(FP_MODULE_DIR).strGetDir() + platform::cPathSeparator() + "screenshot.png";
    m_pScreenshots = std::make_unique<CScreenshotFile>(strPath, m_app.m_SysLog);
  }
  m_pView->vSetOperatorFeatures(&m_app.m_Status, &m_allowList, m_pScreenshots.get());
}

void CMainFrame::vStartOperatorTimers() {
  const COptionalSettings& optional = m_app.m_Optional;
  if (m_pStatusFile != nullptr) {
    m_pStatusFile->fWrite();
    m_uStatusTimer = uSetTimer(TIMER_STATUS, kStatusPeriodMs);
    if (m_uStatusTimer == 0) m_app.m_SysLog.fWrite(LOG_ERROR, "タイマー設定に失敗 StatusFile無効\n");
  }
  if (optional.m_iIdleReset > 0) {
    m_uIdleTimer = uSetTimer(TIMER_IDLE, kIdlePeriodMs);
    if (m_uIdleTimer == 0) m_app.m_SysLog.fWrite(LOG_ERROR, "タイマー設定に失敗 IdleReset無効\n");
  }
  if (m_pScreenshots != nullptr) {
    m_uScreenshotTimer = uSetTimer(TIMER_SCREENSHOT, static_cast<unsigned int>(optional.m_iScreenshotInterval) * 1000u);
    if (m_uScreenshotTimer == 0) m_app.m_SysLog.fWrite(LOG_ERROR, "タイマー設定に失敗 ScreenshotInterval無効\n");
  }
}

// Nobody touched the kiosk for the idle period: the visitor's session goes, the start page comes.
void CMainFrame::vOnIdleTimer() {
  uint32_t uIdleMs = 0;
  if (!platform::fGetInputIdleMs(uIdleMs)) {
    m_app.m_SysLog.fWrite(LOG_ERROR, "入力の無操作時間を取得できません IdleReset無効\n");
    fKillTimer(m_uIdleTimer);
    m_uIdleTimer = 0;
    return;
  }
  if (!m_idle.fPoll(platform::uGetTickMs(), uIdleMs, m_bConfirming)) return;
  m_app.m_AccessLog.fWrite("無操作リセット %d秒->開始ページへ\n", m_app.m_Optional.m_iIdleReset);
  m_app.m_Status.vIdleReset();
  m_pView->vEndSession();
  vNavigate("");
}

void CMainFrame::vNavigate(const std::string& strUrl) {
  std::string url = strUrl;
  if (url.empty()) url = m_app.m_strBlank;
  if (url.empty()) url = "about:blank";
  m_pView->vNavigateInit(url);
  m_pView->Navigate2(url.c_str());
}

void CMainFrame::vFullScreen(int iFlag) {
  if (iFlag == 0) return;
  platform::CFrameWindow::vFullScreen();
}

BOOL CMainFrame::fStartTopMostTimer() { return fRestartTimer(m_uTopMostTimer, TIMER_TOPMOST, kTopMostPeriodMs); }

BOOL CMainFrame::fStartSignalTimer() { return fRestartTimer(m_uSignalTimer, TIMER_SIGNAL, kSignalPeriodMs); }

BOOL CMainFrame::fRestartTimer(unsigned int& uStored, unsigned int uId, unsigned int uPeriodMs) {
  if (uStored != 0) {
    fKillTimer(uStored);
    uStored = 0;
  }
  uStored = uSetTimer(uId, uPeriodMs);
  return uStored != 0;
}

void CMainFrame::OnTimer(unsigned int uId) {
  switch (uId) {
    case TIMER_START: vOnStartTimer(); break;
    case TIMER_TOPMOST:
      fKillTimer(m_uTopMostTimer);
      m_uTopMostTimer = 0;
      vKeepTopMost();
      fStartTopMostTimer();
      break;
    case TIMER_SIGNAL:
      fKillTimer(m_uSignalTimer);
      m_uSignalTimer = 0;
      vOnSignalTimer();
      fStartSignalTimer();
      break;
    case TIMER_IDLE: vOnIdleTimer(); break;
    case TIMER_STATUS:
      if (m_pStatusFile != nullptr) m_pStatusFile->fWrite();
      break;
    case TIMER_SCREENSHOT:
      if (m_pView != nullptr) m_pView->fRequestSnapshot();
      break;
    default: break;
  }
}

void CMainFrame::vOnStartTimer() {
  fKillTimer(m_uStartTimer);
  m_uStartTimer = 0;
  vFullScreen(m_app.m_iFullScreen);
  fForceForeground();
  vForceActive();
  // Edge swipes of the system stay off while the kiosk is full screen; where the system has no
  // such switch the call fails and nothing changes.
  platform::fSetEdgeGestureDisabled(hGetWindow(), TRUE);
  if (!m_app.m_strUrl.empty()) vNavigate(m_app.m_strUrl);
}

void CMainFrame::vKeepTopMost() {
  if (m_bConfirming || m_app.m_iTopMostLevel == 2 || m_bTopMostDone) return;
  vSetTopMost(TRUE);
  // A question still open (a second request failed while it was up and cleared the flags) keeps
  // the front and the focus, so that it can still be seen and answered; the frame stays below it.
  if (!m_bShowing || !platform::fBringMessageBoxToFront(m_hOwner, m_strCaption.c_str())) {
    fForceForeground();
    vForceActive();
  }
  if (m_app.m_iTopMostLevel == 1) m_bTopMostDone = TRUE;
}

void CMainFrame::vOnSignalTimer() {
  if (m_bBusy) return;
  m_bBusy = TRUE;
  if (g_bSigTerm.exchange(0) != 0) fConfirmExit();
  m_bBusy = FALSE;
}

BOOL CMainFrame::fConfirmExit() {
  m_bConfirming = TRUE;
  vSetTopMost(FALSE);
  m_uStyle = kQuitQuestionStyle;
  if (iShowError(0, -1, -1, nullptr, nullptr) == 0) {
    m_app.m_SysLog.fWrite(LOG_ERROR, "メッセージ表示に失敗(%d)\n", 0);
    m_bTopMostDone = FALSE;
    m_bBusy = FALSE;
    m_bConfirming = FALSE;
  }
  return TRUE;
}

void CMainFrame::vOnMessageBoxResult(int iAnswer, int iMessageId) {
  if (iAnswer == platform::MBR_YES) fPostClose();
  m_bConfirming = FALSE;
  m_bTopMostDone = FALSE;
  m_bBusy = FALSE;
}

void CMainFrame::OnClose() {
  for (unsigned int* timer :
       {&m_uStartTimer, &m_uTopMostTimer, &m_uSignalTimer, &m_uIdleTimer, &m_uStatusTimer, &m_uScreenshotTimer}) {
    if (*timer != 0) fKillTimer(*timer);
    *timer = 0;
  }
  platform::fSetEdgeGestureDisabled(hGetWindow(), FALSE);
  platform::CFrameWindow::OnClose();
}

BOOL CMainFrame::OnCommand(unsigned int uCommand) { return m_pView != nullptr && m_pView->OnCmdMsg(uCommand); }

void CMainFrame::PostNcDestroy() { delete this; }
