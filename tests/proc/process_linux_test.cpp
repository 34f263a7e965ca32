// Process lookup on Linux where /proc says less: another account's process, and a process that
// has ended but was not reaped yet.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/clock.h"
#include "proc/proc.h"
#include "tests/support/spawn.h"

namespace fs = std::filesystem;

namespace {

struct Copy {
  std::string strFile;
  explicit Copy(const std::string& strBase) : strFile(strBase + std::to_string(getpid())) {
    fs::copy_file("tx_receiver", strFile, fs::copy_options::overwrite_existing);
  }
  ~Copy() { std::remove(strFile.c_str()); }
};

bool fStart(const Copy& copy, txtest::Child& child, const std::string& strRecord) {
  std::remove(strRecord.c_str());
  if (!txtest::fSpawn({"./" + copy.strFile, "TxLinuxFind" + copy.strFile, strRecord, "stay"}, child)) return false;
  uint32_t start = platform::uGetTickMs();
  while (txtest::strReadFile(strRecord).empty()) {
    if (platform::uGetTickMs() - start > 20000) return false;
    platform::vSleepMs(10);
  }
  return true;
}

}  // namespace

TEST(LinuxProcessLookup, AnotherAccountFindsAProcessWhoseExeLinkIsClosedToIt) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another account";
  Copy copy("TxOtherAccount");
  txtest::Child child;
  ASSERT_TRUE(fStart(copy, child, "other-account.txt"));
  pid_t looker = fork();
  if (looker == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    CProc proc;
    uint32_t pid = 0;
    BOOL found = proc.fFindProcess(copy.strFile.c_str(), pid);
    _exit(found && pid == static_cast<uint32_t>(child.iHandle) ? 0 : 1);
  }
  int status = 0;
  waitpid(looker, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  txtest::vKill(child);
  std::remove("other-account.txt");
}

TEST(LinuxProcessLookup, AnEndedProcessNotYetReapedIsNotFound) {
  Copy copy("TxZombie");
  txtest::Child child;
  ASSERT_TRUE(fStart(copy, child, "zombie.txt"));
  CProc proc;
  uint32_t pid = 0;
  EXPECT_TRUE(proc.fFindProcess(copy.strFile.c_str(), pid));
  kill(static_cast<pid_t>(child.iHandle), SIGKILL);
  // Not reaped: it stays in /proc as a zombie until waitpid.
  platform::vSleepMs(200);
  EXPECT_FALSE(proc.fFindProcess(copy.strFile.c_str(), pid));
  txtest::vKill(child);
  std::remove("zombie.txt");
}
