// CTouchGestures: recognises touch gestures in raw touches and decides which touches reach the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/input_event.h"
#include "platform/types.h"

// Thresholds of the recognition, in pixels and milliseconds of the touches' own time stamps.
inline constexpr double TOUCH_SLOP_PX = 10.0;          // a finger that moves less is still
inline constexpr double TOUCH_ZOOM_SLOP_PX = 16.0;     // change of the distance between two fingers
inline constexpr double TOUCH_ROTATE_SLOP_RAD = 0.26;  // change of their angle (about 15 degrees)
inline constexpr uint32_t TOUCH_TAP_MS = 500;          // longest touch that still counts as a tap
inline constexpr uint32_t TOUCH_TOGETHER_MS = 150;     // two fingers down within this: put down together
// Most touches held at once. A finger resting on the panel (or a fault that keeps a touch down)
// would otherwise be held without end: past this, what is held is delivered and recognition goes
// on as for a gesture that passed, so a refused gesture that follows still never reaches the page.
inline constexpr size_t TOUCH_HOLD_LIMIT = 256;

// Where the platform delivers raw touches instead of gesture messages, this unit plays the part of
// the platform's gesture recogniser for the gesture filter. A touch interaction runs from the first
// finger down to the last finger up. Each one raises GESTUREID_BEGIN at its first touch and
// GESTUREID_END at its last; in between, each configured gesture it contains is raised once, when
// it is recognised:
//   pan             the fingers' centre moves beyond TOUCH_SLOP_PX (one finger or more)
//   zoom            the distance between the first two fingers changes beyond TOUCH_ZOOM_SLOP_PX
//   rotate          the angle between them changes beyond TOUCH_ROTATE_SLOP_RAD
//   two-finger tap  two fingers put down together and both lifted within TOUCH_TAP_MS, unmoved
//   press-and-tap   a second finger, put down later on an unmoved first one, lifted within
//                   TOUCH_TAP_MS while the first stays down
// Touches are held back while the interaction may still turn out to be a gesture, and delivered
// as soon as it is known not to be one (a tap is delivered whole when the finger lifts) or once
// its gesture has passed the filter. When a gesture is swallowed, everything held is dropped,
// the fingers the engine has already seen are cancelled, and every touch up to the end of the
// interaction is dropped: the engine never sees a refused gesture. The results of BEGIN and END
// decide nothing. UI thread only.
class CTouchGestures {
 public:
  // fnGesture raises one gesture message with its id and answers TRUE when it is swallowed.
  explicit CTouchGestures(std::function<BOOL(uint32_t)> fnGesture);

  // The gestures to recognise (the records' ids; a record with no wanted flags does not count).
  // Until configured, nothing is recognised or held: every touch is delivered as it comes.
  void vConfigure(const platform::CGestureConfig* pConfigs, unsigned int uCount);

  // One raw touch, in the order the platform received them.
  void vOnTouch(const platform::CTouchPoint& touch, platform::CTouchDecision& decision);

 private:
  enum State { STATE_IDLE, STATE_UNDECIDED, STATE_PASSING, STATE_SWALLOWING };
  struct CFinger {
    uintptr_t m_uSequence;
    double m_dX, m_dY;
    uint32_t m_uDownMs;
    BOOL m_bSeenByEngine;  // the engine has its begin and not yet its end
  };

  BOOL fWanted(uint32_t uId) const;
  CFinger* pFinger(uintptr_t uSequence);
  void vSetAnchors();
  uint32_t uRecogniseMotion() const;
  uint32_t uRecogniseLift(const CFinger& finger, uint32_t uTimeMs) const;
  void vRaise(uint32_t uId);
  void vFinish(const platform::CTouchPoint& touch, platform::CTouchDecision& decision);

  std::function<BOOL(uint32_t)> m_fnGesture;
  std::vector<uint32_t> m_wanted;
  State m_eState;
  std::vector<CFinger> m_fingers;  // down now, in the order they came down
  std::vector<uintptr_t> m_held;   // sequences of the touches held back, one entry per touch
  std::vector<uint32_t> m_raised;  // gestures raised in this interaction
  BOOL m_bMoved;                   // a motion gesture was recognised in this interaction
  size_t m_uMostFingers;           // most fingers down at once in this interaction
  uint32_t m_uStartMs;             // when its first finger came down
  uint32_t m_uSecondDownAfterMs;   // how long after the first the second finger came down
  double m_dAnchorX, m_dAnchorY;   // the fingers' centre when their number last changed
  double m_dAnchorDistance, m_dAnchorAngle;
};
