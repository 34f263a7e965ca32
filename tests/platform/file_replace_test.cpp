// Atomic file replacement and the process tree's memory, through the platform headers only.
#include "platform/file_replace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/clock.h"
#include "platform/process_memory.h"
#include "tests/common/test_files.h"

namespace {

namespace fs = std::filesystem;

std::string strRead(const std::string& strPath) {
  std::ifstream in(strPath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

size_t uEntries(const std::string& strDir) {
  size_t n = 0;
  for (const auto& entry : fs::directory_iterator(strDir)) n += entry.is_regular_file() ? 1 : 0;
  return n;
}

TEST(FileReplace, CreatesAndReplacesLeavingNothingElse) {
  txtest::CScratchDir dir;
  std::string path = dir / "status.prom";
  ASSERT_TRUE(platform::fReplaceFile(path, "first\n"));
  EXPECT_EQ(strRead(path), "first\n");
  std::string big(300000, 'x');
  ASSERT_TRUE(platform::fReplaceFile(path, big));
  EXPECT_EQ(strRead(path), big);
  ASSERT_TRUE(platform::fReplaceFile(path, ""));
  EXPECT_EQ(strRead(path), "");
  EXPECT_EQ(uEntries(dir.strPath()), 1u);
}

TEST(FileReplace, FailsWithoutTheFolderAndOverAFolder) {
  txtest::CScratchDir dir;
  EXPECT_FALSE(platform::fReplaceFile(dir / ("missing" + std::string(1, platform::cPathSeparator()) + "a"), "x"));
  fs::create_directory(dir / "sub");
  EXPECT_FALSE(platform::fReplaceFile(dir / "sub", "x"));
  EXPECT_TRUE(fs::is_directory(dir / "sub"));
  EXPECT_EQ(uEntries(dir.strPath()), 0u);
}

// A reader opening the file again and again sees one whole version or the other, never a part.
TEST(FileReplace, ReaderNeverSeesPartOfAFile) {
  txtest::CScratchDir dir;
  std::string path = dir / "screen.bin";
  const std::string a(200000, 'a'), b(150000, 'b');
  ASSERT_TRUE(platform::fReplaceFile(path, a));
  std::atomic<bool> done{false};
  std::atomic<int> reads{0}, bad{0};
  std::thread reader([&] {
    while (!done) {
      std::string text = strRead(path);
      if (text.empty()) continue;  // opened in the instant of the rename (a Windows reader may be refused)
      if (text != a && text != b) ++bad;
      ++reads;
    }
  });
  // A Windows reader that does not share deletion blocks the rename while it reads: such writes
  // fail whole, which is what the caller's next write mends.
  // The writes go on until the reader has had its turns too (a loaded machine may run all 100
  // before the reader thread runs at all), for ten seconds at most.
  int iFailed = 0, iWrites = 0;
  uint32_t uStart = platform::uGetTickMs();
  while (iWrites < 100 || (reads < 20 && platform::uGetTickMs() - uStart < 10000)) {
    if (!platform::fReplaceFile(path, iWrites % 2 ? a : b)) ++iFailed;
    ++iWrites;
  }
  done = true;
  reader.join();
  EXPECT_EQ(bad, 0);
  EXPECT_GT(reads, 0);
  EXPECT_LT(iFailed, iWrites / 2);
  EXPECT_EQ(uEntries(dir.strPath()), 1u);
}

TEST(ProcessMemory, CountsThisProcessAtLeast) {
  uint64_t uBefore = 0;
  ASSERT_TRUE(platform::fGetProcessTreeResidentBytes(uBefore));
  EXPECT_GT(uBefore, 1024u * 1024u);
  // 64 MiB touched page by page become resident.
  std::vector<char> block(64u * 1024u * 1024u);
  for (size_t i = 0; i < block.size(); i += 4096) block[i] = static_cast<char>(i);
  uint64_t uAfter = 0;
  ASSERT_TRUE(platform::fGetProcessTreeResidentBytes(uAfter));
  EXPECT_GT(uAfter, uBefore + 48u * 1024u * 1024u) << block[4096];
}

}  // namespace
