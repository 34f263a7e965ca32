// CIdleReset: the idle decision as a table of polls.
#include "app/idle_reset.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

struct CPoll {
  uint32_t uNowMs;
  uint32_t uInputIdleMs;
  bool bQuestionOpen;
  bool bReset;
};

void vRun(unsigned int uSeconds, const std::vector<CPoll>& polls, const char* pszWhat) {
  CIdleReset idle(uSeconds);
  for (size_t i = 0; i < polls.size(); ++i) {
    const CPoll& p = polls[i];
    EXPECT_EQ(idle.fPoll(p.uNowMs, p.uInputIdleMs, p.bQuestionOpen ? TRUE : FALSE) != FALSE, p.bReset)
        << pszWhat << ": poll " << i << " at " << p.uNowMs;
  }
}

TEST(IdleReset, ResetsOnceAfterInputAndIdlePeriod) {
  // Input at 1500, idle 3 s: due at 4500; then nothing until the next input.
  vRun(3,
       {{1000, 60000, false, false},
        {2000, 500, false, false},
        {4000, 2500, false, false},
        {5000, 3500, false, true},
        {6000, 4500, false, false},
        {60000, 58500, false, false}},
       "one visit");
}

TEST(IdleReset, InputOlderThanTheStartIsNoVisit) {
  // The system's idle time may reach back before the kiosk started.
  vRun(3, {{1000, 10000, false, false}, {5000, 14000, false, false}, {99000, 108000, false, false}}, "nobody");
}

TEST(IdleReset, InputAfterAResetArmsItAgain) {
  vRun(2,
       {{0, 0, false, false},
        {1000, 500, false, false},
        {3000, 2500, false, true},
        {4000, 3500, false, false},
        {5000, 200, false, false},
        {7000, 2200, false, true},
        {9000, 4200, false, false}},
       "two visits");
}

TEST(IdleReset, NotWhileTheQuitQuestionIsOpen) {
  // Due at 3500 but the question is open; after it the answer itself was input.
  vRun(3,
       {{0, 0, false, false},
        {1000, 500, false, false},
        {4000, 3500, true, false},
        {9000, 8500, true, false},
        {10000, 9500, false, true}},
       "question open then closed without input");
  vRun(3,
       {{0, 0, false, false},
        {1000, 500, false, false},
        {4000, 3500, true, false},
        {10000, 400, false, false},
        {13000, 3400, false, true}},
       "question answered");
}

TEST(IdleReset, OffWithZeroSeconds) {
  vRun(0, {{0, 0, false, false}, {1000, 500, false, false}, {100000, 99500, false, false}}, "off");
}

TEST(IdleReset, TickWrapsAround) {
  const uint32_t uStart = 0xFFFFF000u;
  vRun(3,
       {{uStart, 50000, false, false},
        {uStart + 1000, 100, false, false},
        {uStart + 5000, 4100, false, true},
        {uStart + 9000, 8100, false, false}},
       "wrap");
}

TEST(IdleReset, LongUntouchedKioskStaysPut) {
  // Polls over more than 2^32 ms of a kiosk nobody touches: the time since the start is held at
  // its maximum, so the system's idle counter wrapping never looks like input.
  CIdleReset idle(60);
  uint32_t uNow = 0;
  uint64_t ullIdle = 5000;
  EXPECT_FALSE(idle.fPoll(uNow, static_cast<uint32_t>(ullIdle), FALSE));
  for (int i = 0; i < 60; ++i) {
    uNow += 0x7FFFFFF;
    ullIdle += 0x7FFFFFF;
    uint32_t uIdle = ullIdle > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(ullIdle);
    EXPECT_FALSE(idle.fPoll(uNow, uIdle, FALSE)) << i;
  }
}

}  // namespace
