// Tests of the gesture recognition over raw touches: what is raised and what reaches the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "view/gesture_filter.h"
#include "view/touch_gestures.h"

namespace {

using namespace platform;

// Plays a script of touches ("b1@0:100,100" = finger 1 down at 0 ms at (100,100); u = moves,
// e = lifts, c = cancelled by the system) through the recogniser and an engine that applies its
// decisions. Returns what the engine received, as the same tokens without place and time ("C1":
// the filter cancelled finger 1), and the gestures raised.
struct CRun {
  std::string m_strEngine;
  std::vector<uint32_t> m_raised;
};

CRun run(const std::string& strScript, std::vector<uint32_t> swallowed, BOOL bConfigure = TRUE) {
  CRun result;
  CTouchGestures gestures([&](uint32_t uId) {
    result.m_raised.push_back(uId);
    return std::find(swallowed.begin(), swallowed.end(), uId) != swallowed.end() ? TRUE : FALSE;
  });
  if (bConfigure) gestures.vConfigure(GESTURE_CONFIGS, GESTURE_CONFIG_COUNT);
  std::vector<std::string> held, engine;
  std::istringstream in(strScript);
  std::string strToken;
  while (in >> strToken) {
    CTouchPoint touch{};
    char cPhase = 0, cAt = 0, cColon = 0, cComma = 0;
    unsigned int uSequence = 0;
    std::istringstream token(strToken);
    token >> cPhase >> uSequence >> cAt >> touch.m_uTimeMs >> cColon >> touch.m_dX >> cComma >> touch.m_dY;
    touch.m_uSequence = uSequence;
    touch.m_ePhase = cPhase == 'b'   ? TOUCH_BEGIN
                     : cPhase == 'u' ? TOUCH_UPDATE
                     : cPhase == 'e' ? TOUCH_END
                                     : TOUCH_CANCEL;
    CTouchDecision decision;
    gestures.vOnTouch(touch, decision);
    held.push_back(strToken.substr(0, strToken.find('@')));
    if (decision.m_eAction == TOUCHACTION_DELIVER) engine.insert(engine.end(), held.begin(), held.end());
    if (decision.m_eAction != TOUCHACTION_HOLD) held.clear();
    for (uintptr_t uCancelled : decision.m_cancelled) engine.push_back("C" + std::to_string(uCancelled));
  }
  for (const std::string& str : engine) result.m_strEngine += (result.m_strEngine.empty() ? "" : " ") + str;
  return result;
}

constexpr uint32_t B = GESTUREID_BEGIN, E = GESTUREID_END, ZOOM = GESTUREID_ZOOM, PAN = GESTUREID_PAN,
                   ROTATE = GESTUREID_ROTATE, TWO = GESTUREID_TWOFINGERTAP, PAT = GESTUREID_PRESSANDTAP;

const char* const TAP = "b1@0:100,100 u1@30:103,101 e1@80:103,101";
const char* const DRAG = "b1@0:100,100 u1@20:100,130 u1@40:100,160 e1@60:100,160";
const char* const PINCH =
    "b1@0:100,100 b2@10:200,100 u1@30:90,100 u2@30:210,100 u1@50:80,100 u2@50:220,100 e1@70:80,100 e2@70:220,100";
const char* const TURN =
    "b1@0:100,100 b2@10:200,100 u1@30:102,85 u2@30:198,115 u1@50:109,72 u2@50:191,128 e1@70:109,72 e2@70:191,128";
const char* const TWO_FINGER_TAP = "b1@0:100,100 b2@40:200,100 e2@150:200,100 e1@160:100,100";
const char* const PRESS_AND_TAP = "b1@0:100,100 b2@400:200,100 e2@500:200,100 e1@900:100,100";

struct CCase {
  const char* pszName;
  const char* pszScript;
  std::vector<uint32_t> swallowed;
  const char* pszEngine;
  std::vector<uint32_t> raised;
};

TEST(TouchGestures, EachGestureIsRaisedOnceAndReachesTheEngineOnlyWhenItPasses) {
  const CCase cases[] = {
      {"tap, pan refused", TAP, {PAN}, "b1 u1 e1", {B, E}},
      {"tap, every gesture refused", TAP, {B, E, ZOOM, PAN, ROTATE, TWO, PAT}, "b1 u1 e1", {B, E}},
      {"drag, pan refused", DRAG, {PAN}, "", {B, PAN, E}},
      {"drag, pan allowed", DRAG, {ZOOM}, "b1 u1 u1 e1", {B, PAN, E}},
      {"pinch, zoom refused", PINCH, {ZOOM}, "", {B, ZOOM, E}},
      {"pinch, pan refused", PINCH, {PAN}, "b1 b2 u1 u2 u1 u2 e1 e2", {B, ZOOM, E}},
      {"turn, rotate refused", TURN, {ROTATE}, "", {B, ROTATE, E}},
      {"two-finger tap refused", TWO_FINGER_TAP, {TWO}, "", {B, TWO, E}},
      {"two-finger tap allowed", TWO_FINGER_TAP, {PAT}, "b1 b2 e2 e1", {B, TWO, E}},
      {"press-and-tap refused", PRESS_AND_TAP, {PAT}, "", {B, PAT, E}},
      {"press-and-tap allowed", PRESS_AND_TAP, {TWO}, "b1 b2 e2 e1", {B, PAT, E}},
      {"two fingers held too long",
       "b1@0:100,100 b2@40:200,100 e2@900:200,100 e1@950:100,100",
       {TWO, PAT},
       "b1 b2 e2 e1",
       {B, E}},
      {"long press", "b1@0:100,100 u1@3000:102,100 e1@3100:102,100", {PAN}, "b1 u1 e1", {B, E}},
      // A pan that passed, then a second finger pinches: the engine is told the first finger is
      // cancelled, and sees nothing of the second.
      {"pan then refused zoom",
       "b1@0:100,100 u1@20:100,130 b2@40:200,130 u1@60:90,130 u2@60:230,130 e2@80:230,130 u1@90:80,130 e1@100:80,130",
       {ZOOM},
       "b1 u1 C1",
       {B, PAN, ZOOM, E}},
      // Lifting one of two fingers and moving the other is a pan from where it was then.
      {"pinch then pan",
       "b1@0:100,100 b2@10:200,100 u2@30:240,100 e2@40:240,100 u1@60:100,130 e1@70:100,130",
       {PAN},
       "b1 b2 u2 e2 C1",
       {B, ZOOM, PAN, E}},
      {"cancelled by the system", "b1@0:100,100 c1@20:100,100", {PAN}, "b1 c1", {B, E}},
  };
  for (const CCase& c : cases) {
    CRun result = run(c.pszScript, c.swallowed);
    EXPECT_EQ(result.m_strEngine, c.pszEngine) << c.pszName;
    EXPECT_EQ(result.m_raised, c.raised) << c.pszName;
  }
}

TEST(TouchGestures, InteractionsFollowOneAnother) {
  // A refused drag ends its interaction; the tap after it is an interaction of its own.
  std::string strScript = std::string(DRAG) + " b1@200:50,50 e1@250:50,50";
  CRun result = run(strScript, {PAN});
  EXPECT_EQ(result.m_strEngine, "b1 e1");
  EXPECT_EQ(result.m_raised, (std::vector<uint32_t>{B, PAN, E, B, E}));
}

TEST(TouchGestures, ARestingFingerIsHeldOnlySoLong) {
  // A finger that rests and trembles, then pans with the pan refused: what was held goes to the
  // engine once the limit is reached, and the pan is still kept from it.
  std::string strScript = "b1@0:100,100";
  for (size_t i = 1; i < TOUCH_HOLD_LIMIT + 10; ++i)
    strScript += " u1@" + std::to_string(i * 10) + ":" + std::to_string(100 + i % 3) + ",100";
  strScript += " u1@9000:100,150 e1@9010:100,150";
  CRun result = run(strScript, {PAN});
  size_t uDelivered = 0;
  for (size_t at = 0; (at = result.m_strEngine.find('1', at)) != std::string::npos; ++at) ++uDelivered;
  EXPECT_EQ(uDelivered, TOUCH_HOLD_LIMIT + 10 + 1);  // every resting touch and the cancel, no pan
  EXPECT_EQ(result.m_strEngine.substr(result.m_strEngine.size() - 5), "u1 C1");
  EXPECT_EQ(result.m_raised, (std::vector<uint32_t>{B, PAN, E}));
}

TEST(TouchGestures, UnconfiguredRecogniserRaisesNothingAndHoldsNothing) {
  CRun result = run(DRAG, {B, E, PAN}, FALSE);
  EXPECT_EQ(result.m_strEngine, "b1 u1 u1 e1");
  EXPECT_TRUE(result.m_raised.empty());
}

TEST(TouchGestures, StrayTouchesOfUnknownFingersPassWhenNothingIsHeld) {
  CRun result = run("u7@0:10,10 e7@10:10,10", {PAN});
  EXPECT_EQ(result.m_strEngine, "u7 e7");
  EXPECT_TRUE(result.m_raised.empty());
}

}  // namespace
