// CDateTime: strftime-based texts of a local moment.
#include "common/date_time.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/file_system.h"
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

const size_t kTextLimit = 200;  // bytes, the terminator included

// strftime of the format into at most kTextLimit bytes; false when nothing or too much comes out.
// The ASCII runs go through strftime and every other byte is copied as it stands (a two-byte
// character whole): some C runtimes give up on a format holding Japanese characters under the
// Japanese locale.
BOOL fExpand(const std::string& format, const struct tm& local, std::string& text) {
  text.clear();
  std::string::size_type i = 0;
  while (i < format.size()) {
    std::string::size_type start = i;
    while (i < format.size() && static_cast<unsigned char>(format[i]) < 0x80) ++i;
    if (i > start) {
      char buffer[kTextLimit];
      std::memset(buffer, 0, sizeof buffer);
      size_t room = kTextLimit - text.size();
      std::string run = format.substr(start, i - start);
      size_t n = std::strftime(buffer, room, run.c_str(), &local);
      if (n == 0) return FALSE;
      text.append(buffer, n);
    }
    while (i < format.size() && static_cast<unsigned char>(format[i]) >= 0x80) {
      bool pair = platform::fIsLeadByte(static_cast<unsigned char>(format[i])) && i + 1 < format.size();
      text.append(format, i, pair ? 2 : 1);
      i += pair ? 2 : 1;
    }
    if (text.size() >= kTextLimit) return FALSE;
  }
  return text.empty() ? FALSE : TRUE;
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

  std::string text;
  if (!fExpand(format, local, text)) return FALSE;
  strOut = text;
  if (uFlags & DT_COMPACT) {
    char millis[8];
    std::snprintf(millis, sizeof millis, "%hu", uMillis);
    strOut += millis;
  }
  return TRUE;
}
