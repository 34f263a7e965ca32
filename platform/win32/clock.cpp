// Win32 clock: _ftime64, _localtime64_s, timeGetTime, QueryPerformanceCounter and Sleep.
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

uint64_t uGetTickUs() {
  LARGE_INTEGER frequency, now;
  if (!QueryPerformanceFrequency(&frequency) || !QueryPerformanceCounter(&now) || frequency.QuadPart <= 0) {
    return static_cast<uint64_t>(GetTickCount64()) * 1000u;
  }
  uint64_t ticks = static_cast<uint64_t>(now.QuadPart), hz = static_cast<uint64_t>(frequency.QuadPart);
  return ticks / hz * 1000000u + ticks % hz * 1000000u / hz;
}

void vSleepMs(uint32_t uMillis) { Sleep(uMillis); }

}  // namespace platform
