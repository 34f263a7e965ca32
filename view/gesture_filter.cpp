// CGestureFilter: set-up, removal and the swallow-or-pass decision for each touch gesture.
#include "view/gesture_filter.h"

namespace {

void vAccessLog(CLogFile& log, const char* pszLine) { log.fWrite("%s", pszLine); }

}  // namespace

CGestureFilter::CGestureFilter(const CViewSettings& settings, CSystemLog& sysLog, CLogFile& accessLog)
    : m_settings(settings), m_sysLog(sysLog), m_accessLog(accessLog), m_bGestureSet(FALSE), m_bSubclassed(FALSE) {}

BOOL CGestureFilter::fAnyGestureSetting() const {
  const CViewSettings& s = m_settings;
  return (s.m_iGestureOff != 0 || s.m_iGestureZoomOff != 0 || s.m_iGesturePanOff != 0 || s.m_iGestureRotateOff != 0 ||
          s.m_iGestureTwoFingerTapOff != 0 || s.m_iGesturePressAndTapOff != 0)
             ? TRUE
             : FALSE;
}

void CGestureFilter::vSetUp(CGestureWindow& window) {
  if (!fAnyGestureSetting() || m_bGestureSet) return;
  if (!window.fFindDocumentWindow()) return;
  m_bGestureSet = TRUE;
  window.vConfigureGestures(GESTURE_CONFIGS, GESTURE_CONFIG_COUNT);
  m_bSubclassed = window.fSubclass();
}

void CGestureFilter::vRemove(CGestureWindow& window) {
  if (!m_bSubclassed) return;
  window.vRemoveSubclass();
  m_bSubclassed = FALSE;
}

BOOL CGestureFilter::fOnGesture(const std::function<BOOL(uint32_t&)>& fnReadId) const {
  m_sysLog.fWrite(LOG_ALL, "%s", "GESTURE\n");
  if (m_settings.m_iGestureOff != 0) {
    vAccessLog(m_accessLog, "ユーザーによるジェスチャー->無視\n");
    if (m_pCounters != nullptr) m_pCounters->vRefusedInput(REFUSED_GESTURE);
    return TRUE;
  }
  uint32_t uId = 0;
  if (!fnReadId(uId)) return FALSE;

  // A gesture switched off by its setting is refused; begin, end and unknown ids only leave a line.
  struct CRule {
    uint32_t uId;
    int iSetting;
    const char* pszRefused;
  };
  const CRule rules[] = {
      {platform::GESTUREID_ZOOM, m_settings.m_iGestureZoomOff, "ユーザーによるジェスチャー ズーム->無視\n"},
      {platform::GESTUREID_PAN, m_settings.m_iGesturePanOff, "ユーザーによるジェスチャー パン->無視\n"},
      {platform::GESTUREID_ROTATE, m_settings.m_iGestureRotateOff, "ユーザーによるジェスチャー 回転->無視\n"},
      {platform::GESTUREID_TWOFINGERTAP, m_settings.m_iGestureTwoFingerTapOff,
       "ユーザーによるジェスチャー ツーフィンガータップ->無視\n"},
      {platform::GESTUREID_PRESSANDTAP, m_settings.m_iGesturePressAndTapOff,
       "ユーザーによるジェスチャー プレスアンドタップ->無視\n"},
  };
  if (uId == platform::GESTUREID_BEGIN) {
    vAccessLog(m_accessLog, "一般的なジェスチャ開始\n");
    return FALSE;
  }
  if (uId == platform::GESTUREID_END) {
    vAccessLog(m_accessLog, "一般的なジェスチャ終了\n");
    return FALSE;
  }
  for (const CRule& rule : rules) {
    if (rule.uId != uId) continue;
    if (rule.iSetting == 0) return FALSE;
    vAccessLog(m_accessLog, rule.pszRefused);
    if (m_pCounters != nullptr) m_pCounters->vRefusedInput(REFUSED_GESTURE);
    return TRUE;
  }
  vAccessLog(m_accessLog, "その他のジェスチャー\n");
  return FALSE;
}
