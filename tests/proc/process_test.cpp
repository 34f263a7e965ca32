// CProc::fFindProcess against programs started under names of the test's own.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/clock.h"
#include "proc/proc.h"
#include "tests/support/spawn.h"

namespace fs = std::filesystem;

namespace {

// A copy of the receiver program under a name nobody else uses.
struct NamedCopy {
  std::string strFile;
  explicit NamedCopy(const std::string& strBase) {
    strFile = strBase + txtest::pszExeSuffix();
    std::error_code ec;
    fs::copy_file(std::string("tx_receiver") + txtest::pszExeSuffix(), strFile, fs::copy_options::overwrite_existing,
                  ec);
    fs::permissions(strFile, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, ec);
  }
  ~NamedCopy() { std::remove(strFile.c_str()); }
};

struct Running {
  txtest::Child child;
  std::string strRecord;
  Running(const std::string& strProgram, const std::string& strTag) {
    strRecord = "find-" + strTag + ".txt";
    txtest::fSpawn({std::string(".") + (txtest::pszExeSuffix()[0] ? "\\" : "/") + strProgram, "TxFind" + strTag,
                    strRecord, "stay"},
                   child);
    uint32_t start = platform::uGetTickMs();
    while (txtest::strReadFile(strRecord).empty() && platform::uGetTickMs() - start < 20000) platform::vSleepMs(10);
  }
  ~Running() {
    txtest::vKill(child);
    std::remove(strRecord.c_str());
  }
};

}  // namespace

TEST(ProcessLookup, FindsByFileNameWithoutRegardToCaseAndNeverWithADirectory) {
  std::string base = "TxFindMe" + std::to_string(platform::uGetTickMs() % 100000);
  NamedCopy copy(base);
  CProc proc;
  uint32_t pid = 0;
  EXPECT_FALSE(proc.fFindProcess(copy.strFile.c_str(), pid));
  {
    Running running(copy.strFile, "a");
    std::string upper = copy.strFile;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(proc.fFindProcess(upper.c_str(), pid));
    EXPECT_NE(0u, pid);
    EXPECT_TRUE(proc.fFindProcess(copy.strFile.c_str(), pid));
    EXPECT_FALSE(proc.fFindProcess(("./" + copy.strFile).c_str(), pid));
    EXPECT_FALSE(proc.fFindProcess((".\\" + copy.strFile).c_str(), pid));
    EXPECT_FALSE(proc.fFindProcess(copy.strFile.substr(1).c_str(), pid));
  }
  // Gone once it has ended.
  uint32_t start = platform::uGetTickMs();
  while (proc.fFindProcess(copy.strFile.c_str(), pid) && platform::uGetTickMs() - start < 5000) platform::vSleepMs(10);
  EXPECT_FALSE(proc.fFindProcess(copy.strFile.c_str(), pid));
}

TEST(ProcessLookup, TwoProcessesOfOneNameGiveOneOfThem) {
  std::string base = "TxFindTwo" + std::to_string(platform::uGetTickMs() % 100000);
  NamedCopy copy(base);
  Running first(copy.strFile, "b");
  Running second(copy.strFile, "c");
  CProc proc;
  uint32_t pid = 0;
  ASSERT_TRUE(proc.fFindProcess(copy.strFile.c_str(), pid));
  uint32_t again = 0;
  ASSERT_TRUE(proc.fFindProcess(copy.strFile.c_str(), again));
  EXPECT_EQ(pid, again) << "the first in the list, every time";
}
