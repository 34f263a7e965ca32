// The wall clock with milliseconds, its local-time conversion, the millisecond tick and sleeps.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/types.h"

namespace platform {

// A moment as the C library's clock-with-milliseconds call reports it.
struct TimeStamp {
  int64_t llSeconds = 0;     // seconds since 1 January 1970 UTC
  uint16_t uMillis = 0;      // milliseconds within that second
  int16_t iZoneMinutes = 0;  // minutes west of UTC
  int16_t iDstFlag = 0;      // daylight saving in force
};

// The current moment (after letting the C library read the time-zone settings).
void vGetTimeNow(TimeStamp& now);

// Local broken-down time of a moment; false when the C library cannot convert it.
BOOL fLocalTime(int64_t llSeconds, struct tm& out);

// Milliseconds since an arbitrary start, wrapping at 2^32 (timeGetTime).
uint32_t uGetTickMs();

// Microseconds since an arbitrary start, from the finest steady clock of the platform
// (QueryPerformanceCounter, CLOCK_MONOTONIC); for measuring, never wraps in practice.
uint64_t uGetTickUs();

// Sleeps the calling thread for the given milliseconds.
void vSleepMs(uint32_t uMillis);

}  // namespace platform
