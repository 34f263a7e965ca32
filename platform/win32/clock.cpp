// Win32 clock: _ftime64, _localtime64_s, timeGetTime and Sleep.
#include "platform/clock.h"

#include <sys/timeb.h>
#include <time.h>
#include <windows.h>

namespace platform {

void vGetTimeNow(TimeStamp& now) {
  _tzset();
  struct __timeb64 tb {};
  _ftime64(&tb);
  now.llSeconds = tb.time;
  now.uMillis = tb.millitm;
  now.iZoneMinutes = tb.timezone;
  now.iDstFlag = tb.dstflag;
}

BOOL fLocalTime(int64_t llSeconds, struct tm& out) {
  __time64_t t = llSeconds;
  return _localtime64_s(&out, &t) == 0 ? TRUE : FALSE;
}

uint32_t uGetTickMs() { return GetTickCount(); }

void vSleepMs(uint32_t uMillis) { Sleep(uMillis); }

}  // namespace platform
