// Linux clock: clock_gettime, localtime_r and nanosleep.
#include "platform/clock.h"

#include <time.h>
#include <cerrno>

namespace platform {

void vGetTimeNow(TimeStamp& now) {
  tzset();
  struct timespec ts {};
  clock_gettime(CLOCK_REALTIME, &ts);
  now.llSeconds = ts.tv_sec;
  now.uMillis = static_cast<uint16_t>(ts.tv_nsec / 1000000);
  struct tm local {};
  time_t t = ts.tv_sec;
  localtime_r(&t, &local);
  now.iZoneMinutes = static_cast<int16_t>(-local.tm_gmtoff / 60);
  now.iDstFlag = static_cast<int16_t>(local.tm_isdst > 0);
}

BOOL fLocalTime(int64_t llSeconds, struct tm& out) {
  time_t t = static_cast<time_t>(llSeconds);
  if (static_cast<int64_t>(t) != llSeconds) return FALSE;
  return localtime_r(&t, &out) != nullptr ? TRUE : FALSE;
}

uint32_t uGetTickMs() {
  struct timespec ts {};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

uint64_t uGetTickUs() {
  struct timespec ts {};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

void vSleepMs(uint32_t uMillis) {
  struct timespec ts {};
  ts.tv_sec = uMillis / 1000;
  ts.tv_nsec = static_cast<long>(uMillis % 1000) * 1000000L;
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

}  // namespace platform
