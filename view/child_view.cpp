// CChildView: the navigation handlers wired to the tracker, the inputs to the input policy.
#include "view/child_view.h"

#include "hooks/detect_mouse_hook.h"
#include "view/hook_libraries.h"

CChildView::CChildView(const CViewSettings& settings, CSystemLog& sysLog, CLogFile& accessLog, CViewFrame& frame)
    : m_sysLog(sysLog),
      m_frame(frame),
      m_tracker(*this, sysLog, accessLog),
      m_policy(settings, sysLog, accessLog),
      m_gestureFilter(settings, sysLog, accessLog),
      m_gestureWindow(*this, m_gestureFilter),
      m_bHooksInstalled(FALSE),
      m_accessLog(accessLog),
      m_pCounters(nullptr),
      m_pSnapshots(nullptr) {
  m_sysLog.fWrite(LOG_ALL, "CChildView::CChildView() construct\n");
}

CChildView::~CChildView() { m_sysLog.fWrite(LOG_ALL, "CChildView::~CChildView() destruct\n"); }

BOOL CChildView::fCreate(platform::CFrameWindow& frame, BOOL bHardwareAcceleration) {
  return platform::CHtmlView::fCreate(frame, bHardwareAcceleration);
}

void CChildView::PreCreateWindow(platform::CWindowStyles& styles) { m_policy.vPreCreateWindow(styles); }

// The hooks go in as soon as the view's window exists: the detect-mouse hook posts its exit
// notice to it, and the page the frame asks for next is already watched.
int CChildView::OnCreate() {
  vSetNoticeAtom(TXDETECT_NOTICE_ATOM);
  CHookLibraries hooks(pGetNoticeTarget());
  m_policy.vInstallHooks(hooks);
  m_bHooksInstalled = TRUE;
  return 0;
}

void CChildView::vSetOperatorFeatures(CStatusCounters* pCounters, const CAllowList* pAllowList,
                                      CSnapshotSink* pSnapshots) {
  m_pCounters = pCounters;
  m_policy.vSetCounters(pCounters);
  m_gestureFilter.vSetCounters(pCounters);
  m_pAllowFilter.reset();
  if (pAllowList != nullptr && pCounters != nullptr && pAllowList->fIsActive())
    m_pAllowFilter = std::make_unique<CAllowFilter>(*pAllowList, m_accessLog, *pCounters);
  m_pSnapshots = pSnapshots;
}

void CChildView::vNavigateInit(const std::string& strUrl) { m_tracker.vNavigateInit(strUrl); }

void CChildView::OnBeforeNavigate2Custum(CFrameId id, const std::string& strUrl, uint32_t uFlags,
                                         const std::string& strTargetFrame, std::vector<unsigned char>& postedData,
                                         const std::string& strHeaders, BOOL* pbCancel) {
  m_tracker.vBeforeNavigate2(id, strUrl, pbCancel);
}

// The page's own (main frame's) events also go to the status counters, after their log lines.
void CChildView::OnNavigateComplete2Custum(CFrameId id, const std::string& strUrl) {
  m_tracker.vNavigateComplete2(id, strUrl);
  if (m_pCounters != nullptr && id == CFrameId(uMainFrameId())) m_pCounters->vShownUrl(strUrl);
}

void CChildView::OnDocumentCompleteCustum(CFrameId id, const std::string& strUrl) {
  m_tracker.vDocumentComplete(id, strUrl);
  if (m_pCounters != nullptr && id == CFrameId(uMainFrameId())) m_pCounters->vNavigation(NAVOUT_COMPLETE);
}

void CChildView::OnNavigateErrorCustum(CFrameId id, const std::string& strUrl, const std::string& strFrameName,
                                       uint32_t uStatus, BOOL* pbCancel) {
  m_tracker.vNavigateError(id, strUrl, pbCancel);
  if (m_pCounters != nullptr && id == CFrameId(uMainFrameId())) m_pCounters->vNavigation(NAVOUT_ERROR);
}

void CChildView::OnNavigationRequest(const std::string& strUrl, BOOL bNewWindow, BOOL* pbCancel) {
  if (pbCancel == nullptr || m_pAllowFilter == nullptr) return;
  if (!m_pAllowFilter->fAllow(strUrl, bNewWindow ? ALLOWREQ_NEW_WINDOW : ALLOWREQ_NAVIGATE)) *pbCancel = TRUE;
}

void CChildView::OnSnapshot(uint32_t uWidth, uint32_t uHeight, const uint8_t* pPixels, size_t uStride) {
  if (m_pSnapshots != nullptr) m_pSnapshots->vOnSnapshot(uWidth, uHeight, pPixels, uStride);
}

void CChildView::OnWindowClosingCustum(BOOL bIsChildWindow, BOOL* pbCancel) {
  m_policy.vWindowClosing(pbCancel, m_frame);
}

void CChildView::OnNewWindow2(void** ppDispatch, BOOL* pbCancel) { m_policy.vNewWindow2(pbCancel); }

BOOL CChildView::OnAmbientProperty(int32_t iDispId, int32_t& iValue) { return fGetAmbientProperty(iDispId, iValue); }

void CChildView::vRefreshDownloadControl() { vRefreshAmbientProperty(AMBIENT_DLCONTROL); }

void CChildView::OnGetHostInfo(platform::CHostInfo& info) { m_policy.vGetHostInfo(info); }

BOOL CChildView::PreTranslateMouse(platform::MouseMessage eMessage) { return m_policy.fPreTranslateMouse(eMessage); }

BOOL CChildView::OnSysCommand(uint32_t uCode) { return m_policy.fDropSysCommand(uCode); }

void CChildView::OnNotice(uint32_t uMessage) {
  if (uMessage == TXDETECT_NOTICE_MESSAGE) m_policy.vExitNotice(m_frame);
}

void CChildView::OnSize() { m_gestureFilter.vSetUp(m_gestureWindow); }

void CChildView::OnDestroy() {
  m_gestureFilter.vRemove(m_gestureWindow);
  if (!m_bHooksInstalled) return;
  CHookLibraries hooks(pGetNoticeTarget());
  m_policy.vRemoveHooks(hooks);
  m_bHooksInstalled = FALSE;
}

void CChildView::PostNcDestroy() { delete this; }
