// tarvctl as a script uses it: its output, exit status and log, against a stand-in kiosk (the
// receiver test program under the kiosk's file name) and the run script shipped beside it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "tests/support/isolate.h"
#include "tests/support/spawn.h"
#include "tests/support/wait.h"

namespace fs = std::filesystem;

namespace {

bool g_bIsolated = false;

std::string strExe(const std::string& base) { return base + txtest::pszExeSuffix(); }

// The 32-bit tree meets the 64-bit kiosk: it uses the 64-bit receiver where that tree was built.
std::string strStandInSource() {
  if (sizeof(void*) == 4 && std::string(txtest::pszExeSuffix()) == ".exe") {
    std::string other = "..\\..\\win64\\bin\\tx_receiver.exe";
    if (fs::exists(other)) return other;
  }
  return strExe("tx_receiver");
}

size_t iCount(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
}

// Output as a script reads it: line ends without carriage returns.
std::string strLines(std::string text) {
  std::string out;
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

bool fKioskRunning() {
  uint32_t pid = 0;
  return platform::fFindProcessByName(platform::pszKioskExeName(), pid) != FALSE;
}

using txtest::fWaitUntil;

// An installation folder of its own: tarvctl, the run script and the stand-in kiosk.
class TarvctlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_strDir = std::string("ctl-") + info->name();
    std::error_code ec;
    fs::remove_all(m_strDir, ec);
    fs::create_directory(m_strDir);
    m_strSep = platform::cPathSeparator();
    fs::copy_file(strExe("tarvctl"), strPath(strExe("tarvctl")));
    fs::copy_file(platform::pszRunScriptName(), strPath(platform::pszRunScriptName()));
    fs::copy_file(strStandInSource(), strPath(platform::pszKioskExeName()));
    ASSERT_FALSE(fKioskRunning()) << "a kiosk is running outside the test";
  }

  void TearDown() override {
    txtest::vKill(m_kiosk);
    // A kiosk started by the run script is not our child: ask it to go.
    if (fKioskRunning()) iRun({"-t"});
    fWaitUntil([] { return !fKioskRunning(); }, 10000);
    std::error_code ec;
    fs::remove_all(m_strDir, ec);
  }

  std::string strPath(const std::string& name) const { return m_strDir + m_strSep + name; }

  int iRun(const std::vector<std::string>& args) {
    std::vector<std::string> words = {strPath(strExe("tarvctl"))};
    words.insert(words.end(), args.begin(), args.end());
    int status = 12345;
    m_strOut.clear();
    m_strErr.clear();
    EXPECT_TRUE(txtest::fRun(words, m_strOut, m_strErr, status, 90000));
    m_strOut = strLines(m_strOut);
    m_strErr = strLines(m_strErr);
    return status;
  }

  std::string strLog() const { return strLines(txtest::strReadFile(strPath("tarvctl.log"))); }
  std::string strRecord() const { return txtest::strReadFile(strPath("receiver.log")); }

  // Starts the stand-in directly; mode "exit" ends on signal 15, "stay" never does.
  void vStartKiosk(const char* pszMode) {
    ASSERT_TRUE(
        txtest::fSpawn({strPath(platform::pszKioskExeName()), "Tarvenix", strPath("receiver.log"), pszMode}, m_kiosk));
    ASSERT_TRUE(fWaitUntil([&] { return strRecord().find("ready\n") != std::string::npos; }, 20000));
    ASSERT_TRUE(fKioskRunning());
  }

  std::string m_strDir;
  std::string m_strSep;
  std::string m_strOut;
  std::string m_strErr;
  txtest::Child m_kiosk;
};

const int MINUS_ONE = txtest::iStatusMinusOne();

}  // namespace

TEST_F(TarvctlTest, NoArgumentsPrintsTheUsageAndLogsOnlyTheStartLine) {
  EXPECT_EQ(MINUS_ONE, iRun({}));
  EXPECT_EQ(std::string("Tarvenix control command\n"
                        "usage: tarvctl [option]\n"
                        "-r :START or RESTART (requre ") +
                platform::pszRunScriptName() + ")\n-t :TERMINATE\n",
            m_strOut);
  std::string log = strLog();
  EXPECT_EQ(1u, iCount(log, "\n")) << log;
  // The log's own stamp, then the start line with its own date and time.
  EXPECT_TRUE(std::regex_match(log, std::regex("[0-9/]{10} [0-9:]{8}\\.[0-9]+,"
                                               "[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} "
                                               "command execute\n")))
      << log;
}

TEST_F(TarvctlTest, PlainWordsArePrintedEachOnALineOfItsOwn) {
  EXPECT_EQ(MINUS_ONE, iRun({"foo", "bar"}));
  EXPECT_EQ("foo\nbar\n", m_strOut);
}

TEST_F(TarvctlTest, AnUnknownOptionIsReportedWithTheProgramNameAsTyped) {
  EXPECT_EQ(MINUS_ONE, iRun({"-x"}));
  EXPECT_EQ("", m_strOut);
  EXPECT_EQ(strPath(strExe("tarvctl")) + ": illegal option -- x\n", m_strErr);
  EXPECT_EQ(1u, iCount(strLog(), "\n"));
}

TEST_F(TarvctlTest, OptionsAfterTheEndOfOptionsAreWordsAndStopNothing) {
  vStartKiosk("exit");
  EXPECT_EQ(MINUS_ONE, iRun({"--", "-t"}));
  EXPECT_EQ("-t\n", m_strOut);
  EXPECT_EQ(MINUS_ONE, iRun({"foo", "-t"}));
  EXPECT_EQ("foo\n-t\n", m_strOut);
  platform::vSleepMs(1500);  // more than a sweep of the receiver
  EXPECT_EQ(std::string::npos, strRecord().find("signal")) << strRecord();
  EXPECT_TRUE(fKioskRunning());
}

TEST_F(TarvctlTest, StopWithoutAKioskIsOk) {
  EXPECT_EQ(0, iRun({"-t"}));
  EXPECT_EQ("Ok\n", m_strOut);
  std::string log = strLog();
  EXPECT_NE(std::string::npos, log.find(",paramator -t call\n")) << log;
  EXPECT_NE(std::string::npos, log.find(",already tarminated. signal not sended\n")) << log;
}

TEST_F(TarvctlTest, StopAsksTheRunningKioskAndOnlyTheFirstOptionCounts) {
  vStartKiosk("exit");
  uint32_t start = platform::uGetTickMs();
  EXPECT_EQ(0, iRun({"-t", "-r"}));
  EXPECT_LT(platform::uGetTickMs() - start, 10000u);
  EXPECT_EQ("Ok\n", m_strOut);
  int status = -1;
  EXPECT_TRUE(txtest::fWait(m_kiosk, 10000, status));
  EXPECT_EQ("ready\nsignal 15 receiver\nstopped\n", strRecord());
  std::string log = strLog();
  EXPECT_EQ(2u, iCount(log, "\n")) << log;
  EXPECT_NE(std::string::npos, log.find(",paramator -t call\n")) << log;
  platform::vSleepMs(500);
  EXPECT_FALSE(fKioskRunning()) << "-r after -t must not start the kiosk";
}

TEST_F(TarvctlTest, RestartWithoutAKioskStartsTheRunScriptOnce) {
  EXPECT_EQ(0, iRun({"-r"}));
  EXPECT_EQ("Ok\n", m_strOut);
  EXPECT_TRUE(fWaitUntil([&] { return strRecord().find("ready\n") != std::string::npos; }, 20000));
  platform::vSleepMs(500);
  EXPECT_EQ("ready\n", strRecord());
  EXPECT_TRUE(fKioskRunning());
  EXPECT_NE(std::string::npos, strLog().find(",paramator -r call\n"));
}

TEST_F(TarvctlTest, RestartStartsTheKioskAgainOnceTheOldOneIsGone) {
  vStartKiosk("exit");
  EXPECT_EQ(0, iRun({"-r"}));
  EXPECT_EQ("Ok\n", m_strOut);
  int status = -1;
  EXPECT_TRUE(txtest::fWait(m_kiosk, 10000, status));
  EXPECT_TRUE(fWaitUntil([&] { return iCount(strRecord(), "ready\n") == 2; }, 20000));
  EXPECT_EQ("ready\nsignal 15 receiver\nstopped\nready\n", strRecord());
  EXPECT_TRUE(fKioskRunning());
}

TEST_F(TarvctlTest, RestartGivesUpWhenTheKioskStaysTwentySeconds) {
  vStartKiosk("stay");
  EXPECT_EQ(MINUS_ONE, iRun({"-r"}));
  EXPECT_EQ("Error\n", m_strOut);
  EXPECT_NE(std::string::npos, strLog().find(std::string(",[") + platform::pszKioskExeName() +
                                             "] is terminate error. 20sec retryed timeout. exit\n"))
      << strLog();
  EXPECT_EQ(1u, iCount(strRecord(), "ready\n"));
}

TEST_F(TarvctlTest, AMissingOrNonExecutableRunScriptIsAnError) {
  std::string script = strPath(platform::pszRunScriptName());
  std::vector<bool> removeIt = {true};
  if (std::string(txtest::pszExeSuffix()).empty()) {
    // On Linux a script that may not be executed is a failure too.
    removeIt.insert(removeIt.begin(), false);
  }
  for (bool remove : removeIt) {
    if (remove) {
      fs::remove(script);
    } else {
      fs::permissions(script, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                      fs::perm_options::remove);
    }
    EXPECT_EQ(MINUS_ONE, iRun({"-r"})) << remove;
    EXPECT_EQ("Error\n", m_strOut) << remove;
    // The line names the full path handed to the system.
    EXPECT_EQ(1u, iCount(strLog(), m_strSep + platform::pszRunScriptName() + "] is execute error. exit\n")) << strLog();
    EXPECT_EQ(1u, iCount(strLog(), ",[")) << strLog();
    fs::remove(strPath("tarvctl.log"));
  }
  EXPECT_FALSE(fKioskRunning());
}

int main(int argc, char** argv) {
  g_bIsolated = txtest::fIsolate();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
