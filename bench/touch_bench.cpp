// Benchmark: the cost of one touch decision of the gesture recognition, over taps, drags and pinches.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/clock.h"
#include "view/gesture_filter.h"
#include "view/touch_gestures.h"

using namespace platform;

namespace {

// One interaction of each kind, 2 fingers at most, times in ms: a tap, a 30-step drag, a 30-step
// pinch.
std::vector<CTouchPoint> interactions(uint32_t uStart) {
  std::vector<CTouchPoint> touches;
  touches.push_back({TOUCH_BEGIN, 1, 100, 100, uStart});
  touches.push_back({TOUCH_END, 1, 100, 100, uStart + 60});
  uStart += 100;
  touches.push_back({TOUCH_BEGIN, 1, 100, 600, uStart});
  for (uint32_t i = 1; i <= 30; ++i) touches.push_back({TOUCH_UPDATE, 1, 100, 600.0 - 10 * i, uStart + 8 * i});
  touches.push_back({TOUCH_END, 1, 100, 300, uStart + 250});
  uStart += 300;
  touches.push_back({TOUCH_BEGIN, 1, 350, 400, uStart});
  touches.push_back({TOUCH_BEGIN, 2, 450, 400, uStart + 10});
  for (uint32_t i = 1; i <= 30; ++i) {
    touches.push_back({TOUCH_UPDATE, 1, 350.0 - 3 * i, 400, uStart + 10 + 8 * i});
    touches.push_back({TOUCH_UPDATE, 2, 450.0 + 3 * i, 400, uStart + 14 + 8 * i});
  }
  touches.push_back({TOUCH_END, 1, 260, 400, uStart + 300});
  touches.push_back({TOUCH_END, 2, 540, 400, uStart + 310});
  return touches;
}

}  // namespace

int main(int argc, char* argv[]) {
  int iRounds = argc > 1 ? std::atoi(argv[1]) : 20000;
  if (iRounds <= 0) iRounds = 20000;
  unsigned long ulRaised = 0, ulDelivered = 0;
  CTouchGestures gestures([&](uint32_t uId) {
    ++ulRaised;
    return uId == GESTUREID_PAN ? TRUE : FALSE;  // drags refused, pinches passed
  });
  gestures.vConfigure(GESTURE_CONFIGS, GESTURE_CONFIG_COUNT);
  std::vector<CTouchPoint> touches = interactions(0);
  CTouchDecision decision;
  uint64_t uStartUs = platform::uGetTickUs();
  for (int r = 0; r < iRounds; ++r) {
    for (CTouchPoint touch : touches) {
      touch.m_uTimeMs += static_cast<uint32_t>(r) * 1000;
      gestures.vOnTouch(touch, decision);
      ulDelivered += decision.m_eAction == TOUCHACTION_DELIVER;
    }
  }
  double dSeconds = static_cast<double>(platform::uGetTickUs() - uStartUs) / 1e6;
  double dTouches = static_cast<double>(iRounds) * touches.size();
  std::printf("touches: %.0f in %.3f s, %.1f ns per touch (%lu gestures raised, %lu deliveries)\n", dTouches, dSeconds,
              dSeconds * 1e9 / dTouches, ulRaised, ulDelivered);
  return 0;
}
