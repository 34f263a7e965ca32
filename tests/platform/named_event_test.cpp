// Named events on both platforms: auto-reset, created non-signalled, existence tied to handles.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/named_event.h"

using platform::CNamedEvent;
using platform::WAIT_RESULT_FAILED;
using platform::WAIT_RESULT_SIGNALLED;
using platform::WAIT_RESULT_TIMEOUT;

static std::string strName(const char* pszTest) {
  return std::string("TxEventTest") + pszTest + std::to_string(platform::uGetTickMs());
}

TEST(NamedEvent, CreatedNonSignalledAutoResetAndResettable) {
  std::string name = strName("State");
  CNamedEvent first;
  ASSERT_TRUE(first.fCreate(name));
  EXPECT_EQ(WAIT_RESULT_TIMEOUT, first.iWait(0));
  EXPECT_TRUE(first.fSet());
  EXPECT_EQ(WAIT_RESULT_SIGNALLED, first.iWait(0));
  EXPECT_EQ(WAIT_RESULT_TIMEOUT, first.iWait(0)) << "a satisfied wait resets the event";
  EXPECT_TRUE(first.fSet());
  EXPECT_TRUE(first.fReset());
  EXPECT_EQ(WAIT_RESULT_TIMEOUT, first.iWait(0));

  // Creating an existing event opens it, state and all.
  EXPECT_TRUE(first.fSet());
  CNamedEvent second;
  ASSERT_TRUE(second.fCreate(name));
  EXPECT_EQ(WAIT_RESULT_SIGNALLED, second.iWait(0));
  EXPECT_TRUE(second.fSet());
  CNamedEvent third;
  ASSERT_TRUE(third.fOpen(name));
  EXPECT_EQ(WAIT_RESULT_SIGNALLED, third.iWait(0));
  EXPECT_EQ(WAIT_RESULT_TIMEOUT, first.iWait(0));
}

TEST(NamedEvent, ExistsOnlyWhileAHandleIsOpen) {
  std::string name = strName("Life");
  CNamedEvent probe;
  EXPECT_FALSE(probe.fOpen(name));
  EXPECT_FALSE(probe.fIsOpen());
  {
    CNamedEvent holder;
    ASSERT_TRUE(holder.fCreate(name));
    ASSERT_TRUE(holder.fSet());
    EXPECT_TRUE(probe.fOpen(name));
    probe.vClose();
  }
  EXPECT_FALSE(probe.fOpen(name));
  // Made again, it starts non-signalled.
  CNamedEvent again;
  ASSERT_TRUE(again.fCreate(name));
  EXPECT_EQ(WAIT_RESULT_TIMEOUT, again.iWait(0));
}

TEST(NamedEvent, WaitsTimeOutAndWakeWhenSetElsewhere) {
  std::string name = strName("Wait");
  CNamedEvent event;
  ASSERT_TRUE(event.fCreate(name));
  uint32_t start = platform::uGetTickMs();
  EXPECT_EQ(WAIT_RESULT_TIMEOUT, event.iWait(200));
  uint32_t elapsed = platform::uGetTickMs() - start;
  EXPECT_GE(elapsed, 190u);
  EXPECT_LT(elapsed, 2000u);

  std::thread setter([&] {
    platform::vSleepMs(100);
    CNamedEvent other;
    if (other.fOpen(name)) other.fSet();
  });
  start = platform::uGetTickMs();
  EXPECT_EQ(WAIT_RESULT_SIGNALLED, event.iWait(5000));
  EXPECT_LT(platform::uGetTickMs() - start, 2000u);
  setter.join();
}

TEST(NamedEvent, AClosedHandleDoesNothing) {
  CNamedEvent event;
  EXPECT_FALSE(event.fSet());
  EXPECT_FALSE(event.fReset());
  EXPECT_EQ(WAIT_RESULT_FAILED, event.iWait(0));
  event.vClose();
}
