// Signals between processes: the wire names, the sender's waits, the receiver thread in this
// process and in a receiver program of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/named_event.h"
#include "platform/thread.h"
#include "proc/signal.h"
#include "tests/support/spawn.h"

namespace {

// Event names of their own per test, so that tests never meet each other or a running kiosk.
std::string strPrefix(const char* pszTest) {
  return std::string("TxTest") + pszTest + std::to_string(platform::uGetTickMs());
}

// A receiver program of another build tree where one exists (the 32-bit tree uses the 64-bit
// receiver, as tarvctl.exe meets the 64-bit kiosk), else this tree's own.
std::string strReceiverProgram() {
  if (sizeof(void*) == 4 && std::string(txtest::pszExeSuffix()) == ".exe") {
    std::string other = "..\\..\\win64\\bin\\tx_receiver.exe";
    if (std::ifstream(other).good()) return other;
  }
  return std::string("tx_receiver") + txtest::pszExeSuffix();
}

// Waits until the file holds the text (up to uMillis).
bool fWaitForText(const std::string& strPath, const std::string& strText, uint32_t uMillis) {
  uint32_t start = platform::uGetTickMs();
  while (txtest::strReadFile(strPath).find(strText) == std::string::npos) {
    if (platform::uGetTickMs() - start > uMillis) return false;
    platform::vSleepMs(10);
  }
  return true;
}

size_t iCount(const std::string& strText, const std::string& strPart) {
  size_t n = 0;
  for (size_t at = strText.find(strPart); at != std::string::npos; at = strText.find(strPart, at + 1)) n++;
  return n;
}

struct ReceiverProcess {
  std::string strRecord;
  txtest::Child child;

  bool fStart(const std::string& strName, const char* pszMode) {
    strRecord = "receiver-" + strName + ".txt";
    std::remove(strRecord.c_str());
    return txtest::fSpawn({strReceiverProgram(), strName, strRecord, pszMode}, child) &&
           fWaitForText(strRecord, "ready\n", 20000);
  }
  ~ReceiverProcess() {
    txtest::vKill(child);
    std::remove(strRecord.c_str());
  }
};

}  // namespace

TEST(SignalWire, SignalFifteenTravelsAsSigstkfltAndTheSenderWaitsForTheAcknowledgement) {
  std::string name = strPrefix("Wire");
  std::atomic<int> result{-1};
  std::atomic<uint32_t> elapsed{0};
  std::thread sender([&] {
    CRaise raise;
    raise.m_strName = name;
    uint32_t start = platform::uGetTickMs();
    result = raise.fRaise(15, 20000);
    elapsed = platform::uGetTickMs() - start;
  });

  // Act as the receiver by hand.
  platform::CNamedEvent signal;
  uint32_t start = platform::uGetTickMs();
  while (!signal.fOpen(name + "SIGSTKFLT") && platform::uGetTickMs() - start < 5000) platform::vSleepMs(1);
  ASSERT_TRUE(signal.fIsOpen());
  platform::CNamedEvent other;
  EXPECT_FALSE(other.fOpen(name + "SIGTERM"));
  EXPECT_EQ(platform::WAIT_RESULT_SIGNALLED, signal.iWait(5000));
  platform::vSleepMs(200);
  EXPECT_EQ(-1, result.load()) << "returned before the acknowledgement";
  platform::CNamedEvent ack;
  ASSERT_TRUE(ack.fOpen(name + "SIGNAL_RECEIVE"));
  ASSERT_TRUE(ack.fSet());
  sender.join();
  EXPECT_EQ(1, result.load());
  EXPECT_LT(elapsed.load(), 5000u);
}

TEST(SignalRaise, NumbersOutsideOneToThirtyTwoSendNothing) {
  CRaise raise;
  raise.m_strName = strPrefix("Range");
  // A pending acknowledgement would be reset by a raise that touched the events.
  platform::CNamedEvent ack;
  ASSERT_TRUE(ack.fCreate(raise.m_strName + "SIGNAL_RECEIVE"));
  ASSERT_TRUE(ack.fSet());
  uint32_t start = platform::uGetTickMs();
  EXPECT_EQ(0, raise.fRaise(0, 5000));
  EXPECT_EQ(0, raise.fRaise(33, 5000));
  EXPECT_LT(platform::uGetTickMs() - start, 1000u);
  EXPECT_EQ(platform::WAIT_RESULT_SIGNALLED, ack.iWait(0));
}

TEST(SignalRaise, WithoutReceiverReturnsOneAfterTheTimeout) {
  CRaise raise;
  raise.m_strName = strPrefix("Alone");
  uint32_t start = platform::uGetTickMs();
  EXPECT_EQ(1, raise.fRaise(15, 300));
  uint32_t elapsed = platform::uGetTickMs() - start;
  EXPECT_GE(elapsed, 300u);
  EXPECT_LT(elapsed, 3000u);
}

TEST(SignalReceiver, TerminateWithoutThreadReturnsAtOnceAndSetsNothing) {
  CSignal signal;
  signal.m_strName = strPrefix("NoThread");
  platform::CNamedEvent stop;
  ASSERT_TRUE(stop.fCreate(signal.m_strName + "SIGNAL_TERM"));
  uint32_t start = platform::uGetTickMs();
  EXPECT_EQ(1, signal.fTerminate());
  EXPECT_LT(platform::uGetTickMs() - start, 100u);
  EXPECT_EQ(nullptr, signal.m_hThread);
  EXPECT_EQ(platform::WAIT_RESULT_TIMEOUT, stop.iWait(0));
}

TEST(SignalReceiver, HandlerValuesOneAndMinusOneAreNeverCalledButAcknowledged) {
  for (intptr_t value : {intptr_t(1), intptr_t(-1)}) {
    CSignal signal;
    signal.m_strName = strPrefix("Values");
    CSignalRecord record = {reinterpret_cast<SignalHandler>(value), 0, 0, 0};
    signal.vSetHandler(15, &record);
    signal.m_hThread = platform::hBeginThread(CSignal::ReceiveThread, &signal);
    CRaise raise;
    raise.m_strName = signal.m_strName;
    uint32_t start = platform::uGetTickMs();
    EXPECT_EQ(1, raise.fRaise(15, 20000));
    EXPECT_LT(platform::uGetTickMs() - start, 4000u) << value;
    EXPECT_EQ(1, signal.fTerminate());
  }
}

TEST(SignalReceiver, TerminateStopsTheThreadAndTheReceiverCanStartAgain) {
  CSignal signal;
  signal.m_strName = strPrefix("Stop");
  for (int round = 0; round < 2; round++) {
    signal.m_hThread = platform::hBeginThread(CSignal::ReceiveThread, &signal);
    ASSERT_NE(nullptr, signal.m_hThread);
    platform::vSleepMs(100);
    uint32_t start = platform::uGetTickMs();
    EXPECT_EQ(1, signal.fTerminate());
    EXPECT_EQ(nullptr, signal.m_hThread);
    // The thread looks for the stop event once per sweep of 32 x 20 ms.
    EXPECT_LT(platform::uGetTickMs() - start, 3000u);
  }
}

// Two receivers under one name (two kiosks running): whichever sweep sees the stop event first
// consumes it, yet each owner's fTerminate still ends its own thread.
TEST(SignalReceiver, TerminateEndsItsThreadWhenAnotherReceiverTookTheStopEvent) {
  std::string name = strPrefix("Twins");
  CSignal first;
  CSignal second;
  first.m_strName = second.m_strName = name;
  first.m_hThread = platform::hBeginThread(CSignal::ReceiveThread, &first);
  second.m_hThread = platform::hBeginThread(CSignal::ReceiveThread, &second);
  ASSERT_NE(nullptr, first.m_hThread);
  ASSERT_NE(nullptr, second.m_hThread);
  EXPECT_EQ(1, first.fTerminate());
  EXPECT_EQ(1, second.fTerminate());
}

TEST(SignalReceiver, HandlerRunsOnTheReceiverThreadInThisProcess) {
  static std::atomic<int> calls{0};
  static std::atomic<int> number{0};
  static std::thread::id caller;
  calls = 0;
  CSignal signal;
  signal.m_strName = strPrefix("Local");
  CSignalRecord record = {[](int n) {
                            caller = std::this_thread::get_id();
                            number = n;
                            calls++;
                          },
                          0x2002, 0x10000000, 0};
  signal.vSetHandler(15, &record);
  signal.vSetHandler(33, &record);  // out of the table: ignored
  signal.vSetHandler(14, nullptr);  // no record: nothing changes
  signal.m_hThread = platform::hBeginThread(CSignal::ReceiveThread, &signal);
  CRaise raise;
  raise.m_strName = signal.m_strName;
  EXPECT_EQ(1, raise.fRaise(15, 20000));
  EXPECT_EQ(1, calls.load());
  EXPECT_EQ(15, number.load());
  EXPECT_NE(std::this_thread::get_id(), caller);
  EXPECT_EQ(1, signal.fTerminate());
}

TEST(SignalCrossProcess, RaisingFifteenCallsTheHandlerOnceOnTheReceiverThreadWithinASweep) {
  std::string name = strPrefix("Cross");
  ReceiverProcess receiver;
  ASSERT_TRUE(receiver.fStart(name, "stay")) << strReceiverProgram();
  CRaise raise;
  raise.m_strName = name;
  uint32_t start = platform::uGetTickMs();
  EXPECT_EQ(1, raise.fRaise(15, 30000));
  uint32_t elapsed = platform::uGetTickMs() - start;
  // One sweep is 32 x 20 ms; allow for a loaded machine.
  EXPECT_LT(elapsed, 4000u);
  std::string record = txtest::strReadFile(receiver.strRecord);
  EXPECT_EQ(1u, iCount(record, "signal 15 receiver\n")) << record;
  EXPECT_EQ(1u, iCount(record, "signal ")) << record;
}

TEST(SignalCrossProcess, AnEventNamedWithSigtermIsSignalFourteen) {
  std::string name = strPrefix("Fourteen");
  ReceiverProcess receiver;
  ASSERT_TRUE(receiver.fStart(name, "stay")) << strReceiverProgram();
  platform::CNamedEvent event;
  ASSERT_TRUE(event.fCreate(name + "SIGTERM"));
  ASSERT_TRUE(event.fSet());
  EXPECT_TRUE(fWaitForText(receiver.strRecord, "signal 14 receiver\n", 10000))
      << txtest::strReadFile(receiver.strRecord);
  EXPECT_EQ(std::string::npos, txtest::strReadFile(receiver.strRecord).find("signal 15"));
}

TEST(SignalCrossProcess, AHandlerRecordOfZeroIsNotCalledButAcknowledged) {
  std::string name = strPrefix("Null");
  ReceiverProcess receiver;
  ASSERT_TRUE(receiver.fStart(name, "null")) << strReceiverProgram();
  CRaise raise;
  raise.m_strName = name;
  uint32_t start = platform::uGetTickMs();
  EXPECT_EQ(1, raise.fRaise(15, 30000));
  EXPECT_LT(platform::uGetTickMs() - start, 4000u);
  EXPECT_EQ(std::string::npos, txtest::strReadFile(receiver.strRecord).find("signal"));
}

TEST(SignalCrossProcess, AReceiverThatEndsOnFifteenStopsItsThreadAndExits) {
  std::string name = strPrefix("Exit");
  ReceiverProcess receiver;
  ASSERT_TRUE(receiver.fStart(name, "exit")) << strReceiverProgram();
  CRaise raise;
  raise.m_strName = name;
  EXPECT_EQ(1, raise.fRaise(15, 30000));
  int status = -1;
  ASSERT_TRUE(txtest::fWait(receiver.child, 10000, status));
  EXPECT_EQ(0, status);
  EXPECT_NE(std::string::npos, txtest::strReadFile(receiver.strRecord).find("signal 15 receiver\nstopped\n"));
}
