// CDetectAction: the corner squares, the hold and the one-notice-per-action rule.
#include "hooks/detect_action.h"

#include <gtest/gtest.h>

namespace {

const CDetectScreen kScreen = {0, 0, 1280, 800};

TEST(DetectAction, EachPositionWatchesItsOwnCorner) {
  struct Case {
    int pos;
    int left, top, right, bottom;
  } cases[] = {
      {DETECT_TOP_LEFT, 0, 0, 100, 100},
      {DETECT_TOP_RIGHT, 1180, 0, 1280, 100},
      {DETECT_BOTTOM_LEFT, 0, 700, 100, 800},
      {DETECT_BOTTOM_RIGHT, 1180, 700, 1280, 800},
  };
  for (const Case& c : cases) {
    CDetectAction action;
    ASSERT_TRUE(action.fConfigure(100, c.pos, 1000));
    int l, t, r, b;
    action.vGetSquare(kScreen, l, t, r, b);
    EXPECT_EQ(c.left, l) << c.pos;
    EXPECT_EQ(c.top, t) << c.pos;
    EXPECT_EQ(c.right, r) << c.pos;
    EXPECT_EQ(c.bottom, b) << c.pos;
    // The square's own edge pixels count; one pixel beyond does not.
    EXPECT_TRUE(action.fPress(l, t, kScreen, 0)) << c.pos;
    EXPECT_TRUE(action.fPress(r - 1, b - 1, kScreen, 0)) << c.pos;
    EXPECT_FALSE(action.fPress(c.left == 0 ? r : l - 1, t, kScreen, 0)) << c.pos;
    EXPECT_FALSE(action.fPress(l, c.top == 0 ? b : t - 1, kScreen, 0)) << c.pos;
  }
}

TEST(DetectAction, ScreenOffsetAndOversizedSquare) {
  CDetectAction action;
  ASSERT_TRUE(action.fConfigure(5000, DETECT_BOTTOM_RIGHT, 10));
  const CDetectScreen second = {1280, 0, 800, 600};
  int l, t, r, b;
  action.vGetSquare(second, l, t, r, b);
  EXPECT_EQ(1280, l);
  EXPECT_EQ(0, t);
  EXPECT_EQ(2080, r);
  EXPECT_EQ(600, b);
  EXPECT_FALSE(action.fPress(1279, 10, second, 0));
}

TEST(DetectAction, HeldForTheIntervalIsDueOncePerAction) {
  CDetectAction action;
  ASSERT_TRUE(action.fConfigure(100, DETECT_BOTTOM_LEFT, 5000));
  ASSERT_TRUE(action.fPress(10, 790, kScreen, 1000));
  EXPECT_EQ(5000u, action.uRemaining(1000));
  EXPECT_FALSE(action.fDue(5999));
  EXPECT_EQ(1u, action.uRemaining(5999));
  action.vMove(99, 700);  // still inside
  EXPECT_TRUE(action.fDue(6000));
  EXPECT_FALSE(action.fDue(20000)) << "a second notice for the same hold";
  EXPECT_EQ(0u, action.uRemaining(20000));
  action.vRelease();
  ASSERT_TRUE(action.fPress(10, 790, kScreen, 30000));
  EXPECT_TRUE(action.fDue(35000)) << "a new action after the release";
}

TEST(DetectAction, ReleaseOrLeavingTheSquareEndsTheAction) {
  CDetectAction action;
  ASSERT_TRUE(action.fConfigure(100, DETECT_BOTTOM_LEFT, 500));
  ASSERT_TRUE(action.fPress(10, 790, kScreen, 0));
  action.vRelease();
  EXPECT_FALSE(action.fDue(600));

  ASSERT_TRUE(action.fPress(10, 790, kScreen, 0));
  action.vMove(100, 790);  // one pixel out
  EXPECT_FALSE(action.fRunning());
  action.vMove(10, 790);  // coming back does not resume the hold
  EXPECT_FALSE(action.fDue(600));

  EXPECT_FALSE(action.fPress(500, 400, kScreen, 0));
  EXPECT_FALSE(action.fDue(600));
}

TEST(DetectAction, TickWrapAndZeroInterval) {
  CDetectAction action;
  ASSERT_TRUE(action.fConfigure(100, DETECT_TOP_LEFT, 1000));
  ASSERT_TRUE(action.fPress(0, 0, kScreen, 0xFFFFFF00u));
  EXPECT_FALSE(action.fDue(0x100u));
  EXPECT_TRUE(action.fDue(0x2E8u));  // 0x100 + 0x2E8 = 1000 ms later

  ASSERT_TRUE(action.fConfigure(100, DETECT_TOP_LEFT, 0));
  ASSERT_TRUE(action.fPress(0, 0, kScreen, 50));
  EXPECT_TRUE(action.fDue(50));
}

TEST(DetectAction, OutOfRangeValuesAreRefusedAndChangeNothing) {
  CDetectAction action;
  ASSERT_TRUE(action.fConfigure(40, DETECT_TOP_RIGHT, 300));
  const int bad[][3] = {{0, 0, 1000}, {-5, 0, 1000}, {100, -1, 1000}, {100, 4, 1000}, {100, 0, -1}};
  for (const auto& v : bad) {
    EXPECT_FALSE(action.fConfigure(v[0], v[1], v[2])) << v[0] << "," << v[1] << "," << v[2];
  }
  EXPECT_EQ(40, action.m_iSize);
  EXPECT_EQ(DETECT_TOP_RIGHT, action.m_iPos);
  EXPECT_EQ(300, action.m_iInterval);
  EXPECT_TRUE(action.fConfigure(1, 3, 0));
}

}  // namespace
