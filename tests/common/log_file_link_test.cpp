// Tests of the logs in a folder that another account can write: a name planted there as a link
// to some other file is never written through.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/log_file.h"
#include "test_files.h"

namespace {

using txtest::CScratchDir;
using txtest::strReadFile;
using txtest::vWriteFile;

TEST(LogFileLinks, ALogPlantedAsALinkIsNotWrittenThrough) {
  CScratchDir dir;
  std::string victim = dir / "victim.txt", path = dir / "tarvctl.log";
  vWriteFile(victim, "precious\n");
  ASSERT_EQ(symlink(victim.c_str(), path.c_str()), 0);
  for (BOOL bKeepOpen : {FALSE, TRUE}) {
    CSystemLog log;
    log.fOpen(path, bKeepOpen);
    EXPECT_FALSE(log.fWrite(LOG_ERROR, "line\n")) << bKeepOpen;
  }
  EXPECT_EQ(strReadFile(victim), "precious\n");
}

TEST(LogFileLinks, AnArchiveNamePlantedAsALinkKeepsEveryLineInTheLiveFile) {
  CScratchDir dir;
  std::string victim = dir / "victim.txt", path = dir / "a.log";
  vWriteFile(path, "old 0\nold 1\n");
  // A link whose target does not exist yet: the first free archive name, as far as a look at
  // regular files goes.
  ASSERT_EQ(symlink(victim.c_str(), (path + ".1").c_str()), 0);
  CLogFile log;
  log.m_iMaxLines = 2;
  ASSERT_TRUE(log.fOpen(path));
  EXPECT_TRUE(log.fWrite("new 0\n"));
  EXPECT_FALSE(std::filesystem::exists(victim));
  EXPECT_TRUE(std::filesystem::is_symlink(path + ".1"));
  EXPECT_EQ(txtest::vecLines(strReadFile(path)).size(), 3u);
}

}  // namespace
