// Tests of CDateTime's texts on a fixed local moment: Monday 6 January 2025, 09:05:03.
#include "common/date_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <limits>
#include <string>

namespace {

// Seconds since 1970 of a local date and time, whatever the machine's time zone.
int64_t llLocalMoment(int year, int month, int day, int hour, int minute, int second) {
  struct tm local {};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&local));
}

const int64_t kMonday = llLocalMoment(2025, 1, 6, 9, 5, 3);

std::string strFormat(unsigned int uFlags, uint16_t uMillis = 42, int64_t llSeconds = kMonday) {
  std::string text = "previous";
  if (!CDateTime::fFormat(text, uFlags, llSeconds, uMillis)) return "<failed:" + text + ">";
  return text;
}

TEST(DateTime, CompactFormHasPlainMillisecondsAndNoZone) {
  EXPECT_EQ(strFormat(DT_COMPACT), "2025010609050342");
  EXPECT_EQ(strFormat(DT_COMPACT, 0), "202501060905030");
  EXPECT_EQ(strFormat(DT_COMPACT, 5), "202501060905035");
  EXPECT_EQ(strFormat(DT_COMPACT, 120), "20250106090503120");
  EXPECT_EQ(strFormat(DT_COMPACT | DT_ZONE | DT_YMD | DT_WDMY | DT_JAPANESE), "2025010609050342");
}

TEST(DateTime, FixedFormsAndTheZoneText) {
  EXPECT_EQ(strFormat(DT_YMD), "2025-01-06 09:05:03");
  EXPECT_EQ(strFormat(DT_YMD | DT_DMY), "2025-01-06 09:05:03");
  EXPECT_EQ(strFormat(DT_YMD | DT_ZONE), "2025-01-06 09:05:03 JST-9");
  EXPECT_EQ(strFormat(DT_YMD | DT_YEAR | DT_JAPANESE), "2025-01-06 09:05:03");

  // Day and month names come from the locale; the digits and the zone text do not.
  std::string dmy = strFormat(DT_DMY | DT_ZONE);
  EXPECT_EQ(dmy.substr(0, 3), "06-");
  EXPECT_EQ(dmy.substr(dmy.size() - 20), "-2025 09:05:03 JST-9");

  std::string wdmy = strFormat(DT_WDMY);
  EXPECT_EQ(strFormat(DT_WDMY | DT_ZONE), wdmy);
  EXPECT_EQ(wdmy.substr(wdmy.size() - 20), "-2025 09:05:03 JST-9");
  EXPECT_NE(wdmy.find(", 06-"), std::string::npos) << wdmy;
  EXPECT_EQ(wdmy.find("JST-9"), wdmy.size() - 5);
}

TEST(DateTime, ComposedFormKeepsTheSeparatorsOfEachPiece) {
  EXPECT_EQ(strFormat(DT_HOUR | DT_MIN), "09:05:");
  EXPECT_EQ(strFormat(DT_HOUR | DT_MIN | DT_SEC), "09:05:03");
  EXPECT_EQ(strFormat(DT_SEC | DT_ZONE), "03 JST-9");
  EXPECT_EQ(strFormat(DT_ZONE), " JST-9");

  std::string dmy = strFormat(DT_DAY | DT_MONTH | DT_YEAR);
  EXPECT_EQ(dmy.substr(0, 3), "06 ");
  EXPECT_EQ(dmy.substr(dmy.size() - 7), " 2025, ");
  std::string weekday = strFormat(DT_WEEK);
  EXPECT_GT(weekday.size(), 2u);
  EXPECT_EQ(weekday.substr(weekday.size() - 2), ", ");
}

TEST(DateTime, JapaneseComposedFormWithFixedWeekdayTexts) {
  EXPECT_EQ(strFormat(DT_JAPANESE | DT_YEAR | DT_MONTH | DT_DAY), "2025年01月06日");
  EXPECT_EQ(strFormat(DT_JAPANESE | DT_WEEK), "（月）");
  EXPECT_EQ(strFormat(DT_JAPANESE | 0x7f | DT_ZONE), "2025年01月06日（月）09時05分03秒 JST-9");
  EXPECT_EQ(strFormat(DT_JAPANESE | DT_HOUR | DT_SEC), "09時03秒");

  const char* const weekdays[7] = {"（日）", "（月）", "（火）", "（水）", "（木）", "（金）", "（土）"};
  for (int day = 0; day < 7; ++day) {
    // 5 January 2025 was a Sunday.
    EXPECT_EQ(strFormat(DT_JAPANESE | DT_WEEK, 0, llLocalMoment(2025, 1, 5 + day, 12, 0, 0)), weekdays[day]);
  }
}

TEST(DateTime, FailuresLeaveTheTextEmpty) {
  EXPECT_EQ(strFormat(0), "<failed:>");
  EXPECT_EQ(strFormat(DT_JAPANESE), "<failed:>");
  EXPECT_EQ(strFormat(DT_COMPACT, 0, -1), "<failed:>");
  EXPECT_EQ(strFormat(DT_YMD, 0, llLocalMoment(1969, 12, 31, 0, 0, 0)), "<failed:>");
  EXPECT_EQ(strFormat(DT_COMPACT, 0, std::numeric_limits<int64_t>::max()), "<failed:>");
}

TEST(DateTime, NowInTheCompactForm) {
  std::string now;
  ASSERT_TRUE(CDateTime::fGetString(now, DT_COMPACT));
  ASSERT_GE(now.size(), 15u);
  ASSERT_LE(now.size(), 17u);
  EXPECT_EQ(now.find_first_not_of("0123456789"), std::string::npos);
  EXPECT_GE(now.substr(0, 4), "2025");
  EXPECT_FALSE(CDateTime::fGetString(now, 0));
  EXPECT_TRUE(now.empty());
}

}  // namespace
