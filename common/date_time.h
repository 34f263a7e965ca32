// Texts of a moment in local time under a set of format flags.
#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/types.h"

enum : unsigned int {
  DT_SEC = 0x0001,
  DT_MIN = 0x0002,
  DT_HOUR = 0x0004,
  DT_DAY = 0x0008,
  DT_MONTH = 0x0010,
  DT_YEAR = 0x0020,
  DT_WEEK = 0x0040,
  DT_JAPANESE = 0x0080,
  DT_YMD = 0x0100,
  DT_DMY = 0x0200,
  DT_ZONE = 0x0400,
  DT_COMPACT = 0x1000,
  DT_WDMY = 0x2000,
};

// The text operations are static; an object only records the moment of its construction.
// fFormat sets the process-wide C locale to the Japanese one on every call and uses the C
// library's shared time conversion: one thread at a time.
class CDateTime {
 public:
  CDateTime();
  virtual ~CDateTime();

  // The text of now under the flags. False (and an empty text) on failure.
  static BOOL fGetString(std::string& strOut, unsigned int uFlags);

  // The text of a moment under the flags: DT_COMPACT "YYYYMMDDhhmmss" + milliseconds ("%hu");
  // DT_WDMY, DT_YMD, DT_DMY the fixed forms; otherwise the composed form of the low eight bits.
  // False (and an empty text) for negative or unconvertible moments and empty expansions.
  static BOOL fFormat(std::string& strOut, unsigned int uFlags, int64_t llSeconds, uint16_t uMillis);

  platform::TimeStamp m_tb;
};
