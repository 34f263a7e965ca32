// The receiver when its stop event cannot be made: a foreign file planted under the event's name.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <string>

#include "platform/clock.h"
#include "platform/named_event.h"
#include "platform/thread.h"
#include "proc/signal.h"

TEST(LinuxSignal, WithoutAStopEventTerminateFailsTheThreadRunsOnAndTheDestructorStillReturns) {
  std::string name = "TxLinuxSignal" + std::to_string(getpid()) + "_" + std::to_string(platform::uGetTickMs());
  {
    platform::CNamedEvent folder;  // makes the event folder
    ASSERT_TRUE(folder.fCreate(name + "Folder"));
  }
  std::string planted = "/tmp/.tarvenix-events/" + name + "SIGNAL_TERM";
  int fd = open(planted.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(7, write(fd, "garbage", 7));
  close(fd);

  uint32_t start = 0;
  {
    CSignal signal;
    signal.m_strName = name;
    signal.m_hThread = platform::hBeginThread(CSignal::ReceiveThread, &signal);
    ASSERT_NE(nullptr, signal.m_hThread);
    EXPECT_EQ(0, signal.fTerminate());
    ASSERT_NE(nullptr, signal.m_hThread);
    platform::vSleepMs(1000);  // more than a sweep: the thread runs on
    EXPECT_EQ(platform::WAIT_RESULT_TIMEOUT, platform::iWaitThread(signal.m_hThread, 0));
    start = platform::uGetTickMs();
  }
  // The destructor stops the thread by its own flag and returns within about a sweep.
  EXPECT_LT(platform::uGetTickMs() - start, 5000u);
  unlink(planted.c_str());
}
