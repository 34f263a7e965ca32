// CDateTime: strftime-based texts of a local moment.
#include "common/date_time.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/locale.h"

namespace {

const char* const kWeekdays[7] = {"（日）", "（月）", "（火）", "（水）", "（木）", "（金）", "（土）"};

std::string strComposedFormat(unsigned int uFlags, int iWeekday) {
  std::string format;
  if (uFlags & DT_JAPANESE) {
    if (uFlags & DT_YEAR) format += "%Y年";
    if (uFlags & DT_MONTH) format += "%m月";
    if (uFlags & DT_DAY) format += "%d日";
    if (uFlags & DT_WEEK) format += kWeekdays[iWeekday % 7];
    if (uFlags & DT_HOUR) format += "%H時";
    if (uFlags & DT_MIN) format += "%M分";
    if (uFlags & DT_SEC) format += "%S秒";
  } else {
    if (uFlags & DT_WEEK) format += "%A, ";
    if (uFlags & DT_DAY) format += "%d ";
    if (uFlags & DT_MONTH) format += "%B ";
    if (uFlags & DT_YEAR) format += "%Y, ";
    if (uFlags & DT_HOUR) format += "%H:";
    if (uFlags & DT_MIN) format += "%M:";
    if (uFlags & DT_SEC) format += "%S";
  }
  return format;
}

}  // namespace

CDateTime::CDateTime() { platform::vGetTimeNow(m_tb); }

CDateTime::~CDateTime() = default;

BOOL CDateTime::fGetString(std::string& strOut, unsigned int uFlags) {
  platform::TimeStamp now;
  platform::vGetTimeNow(now);
  return fFormat(strOut, uFlags, now.llSeconds, now.uMillis);
}

BOOL CDateTime::fFormat(std::string& strOut, unsigned int uFlags, int64_t llSeconds, uint16_t uMillis) {
  platform::vSelectJapaneseLocale(LC_ALL);
  strOut.clear();
  struct tm local {};
  if (llSeconds < 0 || !platform::fLocalTime(llSeconds, local)) return FALSE;

  std::string format;
  if (uFlags & DT_COMPACT) {
    format = "%Y%m%d%H%M%S";
  } else if (uFlags & DT_WDMY) {
    format = "%a, %d-%b-%Y %H:%M:%S JST-9";
  } else {
    if (uFlags & DT_YMD) {
      format = "%Y-%m-%d %H:%M:%S";
    } else if (uFlags & DT_DMY) {
      format = "%d-%b-%Y %H:%M:%S";
    } else {
      format = strComposedFormat(uFlags, local.tm_wday);
    }
    if (uFlags & DT_ZONE) format += " JST-9";
  }

  char buffer[200];
  std::memset(buffer, 0, sizeof buffer);
  if (format.empty() || std::strftime(buffer, sizeof buffer, format.c_str(), &local) == 0) return FALSE;
  strOut = buffer;
  if (uFlags & DT_COMPACT) {
    char millis[8];
    std::snprintf(millis, sizeof millis, "%hu", uMillis);
    strOut += millis;
  }
  return TRUE;
}
