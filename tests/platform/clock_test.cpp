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
  uint32_t msSpent = platform::uGetTickMs() - ms;
  uint64_t usSpent = platform::uGetTickUs() - us;
  EXPECT_GE(usSpent, 45000u);
  EXPECT_LT(usSpent, 5000000u);
  EXPECT_GE(msSpent, 30u);  // the millisecond tick may step by 16 ms on Windows
  EXPECT_LT(msSpent, 5000u);
}

}  // namespace
