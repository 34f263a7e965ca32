// CNavigationTracker: the state machine that follows the program's own navigation, and its log lines.
#include "view/navigation_tracker.h"

namespace {

struct CEventTexts {
  const char* pszNameLine;
  const char* pszLabel;
  const char* pszStartFrame;
  const char* pszOtherFrame;
};

const CEventTexts kEventTexts[] = {
    {"CChildView::OnBeforeNavigate2Custum()\n", "ナビゲート開始前 URI[",
     "開始フレームと一致するページがナビゲート開始前->ナビゲート完了へ\n",
     "その他一致しないフレームページがナビゲート開始前->無視\n"},
    {"CChildView::OnNavigateComplete2Custum()\n", "ナビゲート完了 URI[",
     "開始フレームと一致するページがナビゲート完了->ドキュメント完了へ\n",
     "その他一致しないフレームページがナビゲート完了->無視\n"},
    {"CChildView::OnNavigateErrorCustum()\n", "ナビゲートエラー URI[",
     "開始フレームと一致するページがナビゲートエラー\n", "その他一致しないフレームページがナビゲートエラー->無視\n"},
    {"CChildView::OnDocumentCompleteCustum()\n", "ドキュメント完了 URI[",
     "開始フレームと一致するページがドキュメント完了\n", "その他一致しないフレームページがドキュメント完了->無視\n"},
};

const char kStartFrameMarker[] = "(開始フレームと一致)";
const char kOtherFrameMarker[] = "(その他一致しないフレーム)";
const char kStartIdClear[] = "開始id clear\n";

std::string strHex(uint64_t uValue, int iMinDigits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[uValue & 0xF]);
    uValue >>= 4;
  } while (uValue != 0);
  if (static_cast<int>(text.size()) < iMinDigits) text.insert(0, iMinDigits - text.size(), '0');
  return text;
}

}  // namespace

std::string strPointerText(CFrameId id) { return strHex(static_cast<uint64_t>(id.uValue()), 16); }

std::string strLow32Text(CFrameId id) { return strHex(static_cast<uint64_t>(id.uValue()) & 0xFFFFFFFFu, 1); }

BOOL fGetAmbientProperty(int32_t iDispId, int32_t& iValue) {
  if (iDispId != AMBIENT_DLCONTROL) return FALSE;
  iValue = DLCONTROL_KIOSK;
  return TRUE;
}

CNavigationTracker::CNavigationTracker(CNavigationHost& host, CSystemLog& sysLog, CLogFile& accessLog)
    : m_host(host), m_sysLog(sysLog), m_accessLog(accessLog), m_bFirstNavigate(FALSE) {}

NavigationState CNavigationTracker::eState() const {
  if (!m_idStart.fIsNull()) return NAVSTATE_FOLLOWING;
  return m_bFirstNavigate ? NAVSTATE_ARMED : NAVSTATE_IDLE;
}

void CNavigationTracker::vSysLog(const std::string& strLine) { m_sysLog.fWrite(LOG_ALL, "%s", strLine.c_str()); }

void CNavigationTracker::vWriteNameLine(EventKind eKind) { vSysLog(kEventTexts[eKind].pszNameLine); }

void CNavigationTracker::vNavigateInit(const std::string& strUrl) {
  vSysLog("CChildView::vNavigateInit()\n");
  vSysLog("engineからナビゲート開始[" + strUrl + "]\n");
  m_idStart = CFrameId();
  m_bFirstNavigate = TRUE;
}

BOOL CNavigationTracker::fTrace(EventKind eKind, CFrameId id, const std::string& strUrl) {
  const CEventTexts& texts = kEventTexts[eKind];
  std::string idText = "今回のid=[" + strPointerText(id) + "] 開始id=[" + strPointerText(m_idStart) + "]";
  std::string head = texts.pszLabel + strUrl + "] " + idText;
  vSysLog(head + "\n");
  // A null start id follows nothing, so it never matches, not even an event without identity.
  BOOL bStartFrame = (!m_idStart.fIsNull() && id == m_idStart) ? TRUE : FALSE;
  std::string line = head + (bStartFrame ? kStartFrameMarker : kOtherFrameMarker) + "\n";
  m_accessLog.fWrite("%s", line.c_str());
  return bStartFrame;
}

void CNavigationTracker::vWriteVerdict(EventKind eKind, BOOL bStartFrame) {
  vSysLog(bStartFrame ? kEventTexts[eKind].pszStartFrame : kEventTexts[eKind].pszOtherFrame);
}

void CNavigationTracker::vBeforeNavigate2(CFrameId id, const std::string& strUrl, BOOL* pbCancel) {
  if (pbCancel != nullptr) *pbCancel = FALSE;
  vWriteNameLine(EVENT_BEFORE_NAVIGATE);
  m_host.vRefreshDownloadControl();
  if (m_idStart.fIsNull() && m_bFirstNavigate && !id.fIsNull()) {
    vSysLog("最初のナビゲート 開始id[" + strLow32Text(id) + "] set\n");
    m_idStart = id;
    m_bFirstNavigate = FALSE;
  }
  vWriteVerdict(EVENT_BEFORE_NAVIGATE, fTrace(EVENT_BEFORE_NAVIGATE, id, strUrl));
}

void CNavigationTracker::vNavigateComplete2(CFrameId id, const std::string& strUrl) {
  vWriteNameLine(EVENT_NAVIGATE_COMPLETE);
  vWriteVerdict(EVENT_NAVIGATE_COMPLETE, fTrace(EVENT_NAVIGATE_COMPLETE, id, strUrl));
}

void CNavigationTracker::vNavigateError(CFrameId id, const std::string& strUrl, BOOL* pbCancel) {
  if (pbCancel != nullptr) *pbCancel = FALSE;
  vWriteNameLine(EVENT_NAVIGATE_ERROR);
  BOOL bStartFrame = fTrace(EVENT_NAVIGATE_ERROR, id, strUrl);
  vWriteVerdict(EVENT_NAVIGATE_ERROR, bStartFrame);
  if (bStartFrame) {
    vSysLog(kStartIdClear);
    m_idStart = CFrameId();
  }
  // The status code does not matter: every error is cancelled, so the engine shows no error page.
  if (pbCancel != nullptr) *pbCancel = TRUE;
}

void CNavigationTracker::vDocumentComplete(CFrameId id, const std::string& strUrl) {
  vWriteNameLine(EVENT_DOCUMENT_COMPLETE);
  BOOL bStartFrame = fTrace(EVENT_DOCUMENT_COMPLETE, id, strUrl);
  vWriteVerdict(EVENT_DOCUMENT_COMPLETE, bStartFrame);
  if (bStartFrame) {
    vSysLog(kStartIdClear);
    m_idStart = CFrameId();
  }
}
