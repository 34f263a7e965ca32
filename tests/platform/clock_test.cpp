// Tests of the platform clock: the moment with milliseconds, its local time and the ticks.
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

TEST(Clock, NowAgreesWithTheCLibrary) {
  platform::TimeStamp now;
  std::time_t before = std::time(nullptr);
  platform::vGetTimeNow(now);
  std::time_t after = std::time(nullptr);
  EXPECT_GE(now.llSeconds, static_cast<int64_t>(before));
  EXPECT_LE(now.llSeconds, static_cast<int64_t>(after));
  EXPECT_LT(now.uMillis, 1000);

  struct tm local {};
  ASSERT_TRUE(platform::fLocalTime(now.llSeconds, local));
  EXPECT_GE(local.tm_year, 125);
  EXPECT_FALSE(platform::fLocalTime(INT64_MAX, local));
}

TEST(Clock, TicksFollowASleep) {
  uint32_t ms = platform::uGetTickMs();
  uint64_t us = platform::uGetTickUs();
  platform::vSleepMs(50);
  uint64_t usSpent = platform::uGetTickUs() - us;
  EXPECT_GE(usSpent, 45000u);
  EXPECT_LT(usSpent, 5000000u);
  // The millisecond tick steps by up to 16 ms on Windows, and under Wine it is the server's
  // clock, which a loaded machine moves on late: it must pass 30 ms, given time to catch up.
  uint32_t msSpent = platform::uGetTickMs() - ms;
  for (int i = 0; i < 200 && msSpent < 30u; ++i) {
    platform::vSleepMs(10);
    msSpent = platform::uGetTickMs() - ms;
  }
  EXPECT_GE(msSpent, 30u);
  EXPECT_LT(msSpent, 5000u);
}

}  // namespace
