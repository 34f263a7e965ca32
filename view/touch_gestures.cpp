// CTouchGestures: the gesture recognition over raw touches and the hold, deliver or drop decisions.
#include "view/touch_gestures.h"

#include <algorithm>
#include <cmath>
#include <utility>

using namespace platform;

namespace {

constexpr double PI = 3.14159265358979323846;

}  // namespace

CTouchGestures::CTouchGestures(std::function<BOOL(uint32_t)> fnGesture)
    : m_fnGesture(std::move(fnGesture)),
      m_eState(STATE_IDLE),
      m_bMoved(FALSE),
      m_uMostFingers(0),
      m_uStartMs(0),
      m_uSecondDownAfterMs(0),
      m_dAnchorX(0),
      m_dAnchorY(0),
      m_dAnchorDistance(0),
      m_dAnchorAngle(0) {}

void CTouchGestures::vConfigure(const CGestureConfig* pConfigs, unsigned int uCount) {
  m_wanted.clear();
  for (unsigned int u = 0; pConfigs != nullptr && u < uCount; ++u)
    if (pConfigs[u].m_uWant != 0) m_wanted.push_back(pConfigs[u].m_uId);
}

BOOL CTouchGestures::fWanted(uint32_t uId) const {
  return std::find(m_wanted.begin(), m_wanted.end(), uId) != m_wanted.end() ? TRUE : FALSE;
}

CTouchGestures::CFinger* CTouchGestures::pFinger(uintptr_t uSequence) {
  for (CFinger& finger : m_fingers)
    if (finger.m_uSequence == uSequence) return &finger;
  return nullptr;
}

// Motion is measured from the fingers' places when their number last changed, so that a finger
// put down or lifted is not taken for a movement of the others.
void CTouchGestures::vSetAnchors() {
  if (m_fingers.empty()) return;
  m_dAnchorX = m_dAnchorY = 0;
  for (const CFinger& finger : m_fingers) {
    m_dAnchorX += finger.m_dX / m_fingers.size();
    m_dAnchorY += finger.m_dY / m_fingers.size();
  }
  if (m_fingers.size() < 2) return;
  const CFinger& a = m_fingers[0];
  const CFinger& b = m_fingers[1];
  m_dAnchorDistance = std::hypot(b.m_dX - a.m_dX, b.m_dY - a.m_dY);
  m_dAnchorAngle = std::atan2(b.m_dY - a.m_dY, b.m_dX - a.m_dX);
}

// The gesture the fingers' motion makes, 0 for none. A gesture not raised yet in this interaction
// comes first, so that a rotation during a zoom is still seen.
uint32_t CTouchGestures::uRecogniseMotion() const {
  if (m_fingers.empty()) return 0;
  double dX = 0, dY = 0;
  for (const CFinger& finger : m_fingers) {
    dX += finger.m_dX / m_fingers.size();
    dY += finger.m_dY / m_fingers.size();
  }
  BOOL bZoom = FALSE, bRotate = FALSE;
  if (m_fingers.size() >= 2) {
    const CFinger& a = m_fingers[0];
    const CFinger& b = m_fingers[1];
    bZoom = std::fabs(std::hypot(b.m_dX - a.m_dX, b.m_dY - a.m_dY) - m_dAnchorDistance) > TOUCH_ZOOM_SLOP_PX;
    double dTurn = std::remainder(std::atan2(b.m_dY - a.m_dY, b.m_dX - a.m_dX) - m_dAnchorAngle, 2 * PI);
    bRotate = std::fabs(dTurn) > TOUCH_ROTATE_SLOP_RAD;
  }
  // Two fingers that pinch or turn move their centre too; that is not a pan.
  BOOL bPan = !bZoom && !bRotate && std::hypot(dX - m_dAnchorX, dY - m_dAnchorY) > TOUCH_SLOP_PX;
  const std::pair<uint32_t, BOOL> found[] = {
      {GESTUREID_ZOOM, bZoom}, {GESTUREID_ROTATE, bRotate}, {GESTUREID_PAN, bPan}};
  uint32_t uFirst = 0;
  for (const auto& [uId, bFound] : found) {
    if (!bFound) continue;
    if (std::find(m_raised.begin(), m_raised.end(), uId) == m_raised.end()) return uId;
    if (uFirst == 0) uFirst = uId;
  }
  return uFirst;
}

// The tap gesture that lifting the finger completes, 0 for none. Only for unmoved fingers.
uint32_t CTouchGestures::uRecogniseLift(const CFinger& finger, uint32_t uTimeMs) const {
  if (m_bMoved || m_uMostFingers != 2 || m_fingers.empty()) return 0;
  BOOL bTogether = m_uSecondDownAfterMs <= TOUCH_TOGETHER_MS;
  if (m_fingers.size() == 1)  // the last of the two fingers
    return bTogether && uTimeMs - m_uStartMs <= TOUCH_TAP_MS ? GESTUREID_TWOFINGERTAP : 0;
  BOOL bSecond = finger.m_uSequence != m_fingers[0].m_uSequence;
  return !bTogether && bSecond && m_fingers.size() == 2 && uTimeMs - finger.m_uDownMs <= TOUCH_TAP_MS
             ? GESTUREID_PRESSANDTAP
             : 0;
}

// Raises a recognised gesture once per interaction; its answer decides the interaction's touches.
void CTouchGestures::vRaise(uint32_t uId) {
  if (uId != GESTUREID_BEGIN && uId != GESTUREID_END && !fWanted(uId)) return;
  if (std::find(m_raised.begin(), m_raised.end(), uId) != m_raised.end()) {
    if (m_eState == STATE_UNDECIDED) m_eState = STATE_PASSING;  // it passed before
    return;
  }
  m_raised.push_back(uId);
  BOOL bSwallow = m_fnGesture(uId);
  if (uId == GESTUREID_BEGIN || uId == GESTUREID_END) return;
  m_eState = bSwallow ? STATE_SWALLOWING : STATE_PASSING;
}

void CTouchGestures::vOnTouch(const CTouchPoint& touch, CTouchDecision& decision) {
  if (m_wanted.empty()) {  // nothing to recognise: nothing to wait for
    decision.m_eAction = TOUCHACTION_DELIVER;
    decision.m_cancelled.clear();
    return;
  }
  CFinger* pTouched = pFinger(touch.m_uSequence);
  BOOL bRecognising = m_eState == STATE_UNDECIDED || m_eState == STATE_PASSING;
  switch (touch.m_ePhase) {
    case TOUCH_BEGIN:
      if (pTouched != nullptr) break;  // a second begin of a finger that is down changes nothing
      if (m_eState == STATE_IDLE) {
        m_raised.clear();
        m_bMoved = FALSE;
        m_uMostFingers = 0;
        m_uStartMs = touch.m_uTimeMs;
        m_eState = STATE_UNDECIDED;
        vRaise(GESTUREID_BEGIN);
      } else if (m_eState == STATE_PASSING) {
        m_eState = STATE_UNDECIDED;  // a new finger may start another gesture
      }
      m_fingers.push_back({touch.m_uSequence, touch.m_dX, touch.m_dY, touch.m_uTimeMs, FALSE});
      m_uMostFingers = std::max(m_uMostFingers, m_fingers.size());
      if (m_fingers.size() == 2) m_uSecondDownAfterMs = touch.m_uTimeMs - m_fingers[0].m_uDownMs;
      vSetAnchors();
      break;
    case TOUCH_UPDATE:
    case TOUCH_END:
    case TOUCH_CANCEL:
      if (pTouched == nullptr) break;
      pTouched->m_dX = touch.m_dX;
      pTouched->m_dY = touch.m_dY;
      if (!bRecognising) break;
      if (uint32_t uId = uRecogniseMotion(); uId != 0) {
        m_bMoved = TRUE;
        vRaise(uId);
      } else if (touch.m_ePhase == TOUCH_END) {
        if (uint32_t uTap = uRecogniseLift(*pTouched, touch.m_uTimeMs); uTap != 0) vRaise(uTap);
      }
      break;
  }
  vFinish(touch, decision);
}

void CTouchGestures::vFinish(const CTouchPoint& touch, CTouchDecision& decision) {
  decision.m_cancelled.clear();
  CFinger* pTouched = pFinger(touch.m_uSequence);
  BOOL bLifted = pTouched != nullptr && (touch.m_ePhase == TOUCH_END || touch.m_ePhase == TOUCH_CANCEL);
  switch (m_eState) {
    case STATE_UNDECIDED:
      // The last finger lifted and nothing was recognised: the touches were no gesture.
      decision.m_eAction = bLifted && m_fingers.size() == 1 ? TOUCHACTION_DELIVER : TOUCHACTION_HOLD;
      if (decision.m_eAction == TOUCHACTION_HOLD && m_held.size() + 1 >= TOUCH_HOLD_LIMIT) {
        decision.m_eAction = TOUCHACTION_DELIVER;
        m_eState = STATE_PASSING;
      }
      break;
    case STATE_SWALLOWING: decision.m_eAction = TOUCHACTION_DROP; break;
    default: decision.m_eAction = TOUCHACTION_DELIVER; break;
  }

  if (decision.m_eAction == TOUCHACTION_HOLD) {
    m_held.push_back(touch.m_uSequence);
  } else if (decision.m_eAction == TOUCHACTION_DELIVER) {
    // Every finger with a touch among those delivered now has had its begin delivered.
    m_held.push_back(touch.m_uSequence);
    for (CFinger& finger : m_fingers)
      if (std::find(m_held.begin(), m_held.end(), finger.m_uSequence) != m_held.end()) finger.m_bSeenByEngine = TRUE;
    m_held.clear();
  } else {
    m_held.clear();
    for (CFinger& finger : m_fingers) {
      if (finger.m_bSeenByEngine) decision.m_cancelled.push_back(finger.m_uSequence);
      finger.m_bSeenByEngine = FALSE;
    }
  }

  if (!bLifted) return;
  m_fingers.erase(m_fingers.begin() + (pTouched - m_fingers.data()));
  vSetAnchors();
  if (!m_fingers.empty()) return;
  vRaise(GESTUREID_END);
  m_eState = STATE_IDLE;
}
