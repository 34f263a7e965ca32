// Tests of CLogFile and CSystemLog: entry format, levels, modes, the cut and the rotation.
#include "common/log_file.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "common/date_time.h"
#include "test_files.h"

namespace {

using txtest::CScratchDir;
using txtest::fExists;
using txtest::fIsDirectory;
using txtest::strReadFile;
using txtest::vecLines;
using txtest::vWriteFile;

const char kStamp[] = R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\.(0|[1-9]\d{0,2}),)";
const char kCutMarker[] = ":途中で切り捨てました\n";

// What follows the time stamp of a one-entry file.
std::string strAfterStamp(const std::string& text) {
  std::string::size_type comma = text.find(',');
  return comma == std::string::npos ? std::string() : text.substr(comma + 1);
}

std::string strNumberedLines(int count, const char* prefix) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(prefix) + std::to_string(i) + "\n";
  return text;
}

TEST(LogFile, WritesNothingUntilOpenedAndStopsAfterAFailedOpen) {
  CScratchDir dir;
  CLogFile never;
  EXPECT_FALSE(never.fWrite("lost\n"));
  CSystemLog neverSystem;
  EXPECT_FALSE(neverSystem.fWrite(LOG_FATAL, "lost\n"));

  CLogFile empty;
  EXPECT_TRUE(empty.fOpen(""));
  EXPECT_FALSE(empty.fWrite("lost\n"));
  EXPECT_FALSE(empty.fWrite("lost\n"));

  // A file in a missing folder: the first write fails and disables the log until the next fOpen,
  // even once the folder exists.
  std::string sub = dir / "later";
  std::string path = sub + platform::cPathSeparator() + "x.log";
  CLogFile log;
  EXPECT_TRUE(log.fOpen(path));
  EXPECT_FALSE(log.fWrite("lost\n"));
  std::filesystem::create_directory(sub);
  EXPECT_FALSE(log.fWrite("lost\n"));
  EXPECT_FALSE(fExists(path));
  EXPECT_TRUE(log.fOpen(path));
  EXPECT_TRUE(log.fWrite("kept\n"));
  EXPECT_EQ(strAfterStamp(strReadFile(path)), "kept\n");
}

TEST(LogFile, EntryIsTimeStampAndMessageInThePlatformsLineEnds) {
  CScratchDir dir;
  std::string path = dir / "a.log";
  CLogFile log;
  ASSERT_TRUE(log.fOpen(path));
  EXPECT_TRUE(log.fWrite("run %d ", 1));  // no line end: the next entry follows on the same line
  EXPECT_TRUE(log.fWrite("%s\n", "続き"));
  EXPECT_TRUE(log.fWrite("100%%\n"));

  std::string eol = platform::cPathSeparator() == '\\' ? "\r\n" : "\n";
  std::string bytes = strReadFile(path, true);
  std::regex entry(std::string("^") + kStamp + "run 1 " + kStamp + "続き" + eol + kStamp + "100%" + eol + "$");
  EXPECT_TRUE(std::regex_match(bytes, entry)) << bytes;

  // The stamp is this moment's date: the first ten characters of the compact text, re-cut.
  std::string compact;
  ASSERT_TRUE(CDateTime::fGetString(compact, DT_COMPACT));
  EXPECT_EQ(bytes.substr(0, 8), compact.substr(0, 4) + "/" + compact.substr(4, 2) + "/");
}

TEST(LogFile, CutsAMessageAfterExactly1023Bytes) {
  struct Case {
    std::string message;
    std::string stored;
  } cases[] = {
      {std::string(1022, 'a') + "\n", std::string(1022, 'a') + "\n"},
      {std::string(1023, 'b'), std::string(1023, 'b')},
      {std::string(1024, 'c'), std::string(1023, 'c') + kCutMarker},
      {std::string(1023, 'd') + "\n", std::string(1023, 'd') + kCutMarker},
      {std::string(5000, 'e'), std::string(1023, 'e') + kCutMarker},
  };
  CScratchDir dir;
  int n = 0;
  for (const Case& c : cases) {
    std::string path = dir / ("cut" + std::to_string(n++) + ".log");
    CLogFile log;
    ASSERT_TRUE(log.fOpen(path));
    EXPECT_TRUE(log.fWrite("%s", c.message.c_str()));
    EXPECT_EQ(strAfterStamp(strReadFile(path)), c.stored) << "message of " << c.message.size() << " bytes";
  }
}

TEST(SystemLog, ThresholdDropsLowerLevelsAndNamesTheOthers) {
  const char* const names[] = {"All", "Info", "Notify", "Warning", "Error", "Fatal"};
  struct Case {
    int threshold;  // -1: as constructed
    int firstWritten;
  } cases[] = {{-1, LOG_ERROR}, {0, LOG_ALL}, {1, LOG_INFO}, {5, LOG_FATAL}};
  CScratchDir dir;
  for (const Case& c : cases) {
    std::string path = dir / ("level" + std::to_string(c.threshold) + ".log");
    CSystemLog log;
    if (c.threshold >= 0) log.m_iLevel = c.threshold;
    ASSERT_TRUE(log.fOpen(path));
    for (int level = LOG_ALL; level <= LOG_FATAL; ++level) {
      EXPECT_TRUE(log.fWrite(static_cast<LogLevel>(level), "message %d\n", level));
    }
    std::vector<std::string> lines = vecLines(strReadFile(path));
    ASSERT_EQ(lines.size(), static_cast<size_t>(LOG_FATAL - c.firstWritten + 1)) << "threshold " << c.threshold;
    for (size_t i = 0; i < lines.size(); ++i) {
      int level = c.firstWritten + static_cast<int>(i);
      std::regex entry("^\"" + std::string(names[level]) + "\"," + kStamp + "message " + std::to_string(level) + "$");
      EXPECT_TRUE(std::regex_match(lines[i], entry)) << lines[i];
    }
  }
}

TEST(LogFile, DiscardModeAcceptsEverythingAndTouchesNoFile) {
  CScratchDir dir;
  std::string full = dir / "full.log";
  std::string original = strNumberedLines(10000, "old ");
  vWriteFile(full, original);
  CSystemLog log;
  ASSERT_TRUE(log.fOpen(full, FALSE, TRUE));
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(log.fWrite(LOG_FATAL, "dropped %d\n", i));
    EXPECT_TRUE(log.fWrite(LOG_ALL, "dropped %d\n", i));
  }
  EXPECT_EQ(strReadFile(full), original);
  EXPECT_FALSE(fExists(full + ".1"));

  std::string missing = dir / "missing.log";
  CLogFile other;
  ASSERT_TRUE(other.fOpen(missing, FALSE, TRUE));
  EXPECT_TRUE(other.fWrite("dropped\n"));
  EXPECT_FALSE(fExists(missing));

  CLogFile nameless;
  EXPECT_FALSE(nameless.fOpen("", FALSE, TRUE));
  EXPECT_FALSE(nameless.fWrite("lost\n"));
}

TEST(LogFile, KeepOpenModeWritesThroughAndSurvivesALaterOpen) {
  CScratchDir dir;
  std::string first = dir / "first.log", second = dir / "second.log";
  CLogFile log;
  log.m_iMaxLines = 3;
  ASSERT_TRUE(log.fOpen(first, TRUE));
  for (int i = 0; i < 7; ++i) {
    ASSERT_TRUE(log.fWrite("entry %d\n", i));
    // Each entry is on disk at once, while the stream is still held.
    EXPECT_EQ(vecLines(strReadFile(first)).size(), static_cast<size_t>(i % 3 + 1));
  }
  EXPECT_EQ(vecLines(strReadFile(first + ".1")).size(), 3u);
  EXPECT_EQ(vecLines(strReadFile(first + ".2")).size(), 3u);

  // The keep-open mode stays set; the stream a later fOpen with the defaults did not open is
  // opened by the first write.
  ASSERT_TRUE(log.fOpen(second));
  EXPECT_TRUE(log.fWrite("moved\n"));
  EXPECT_EQ(strAfterStamp(strReadFile(second)), "moved\n");
  EXPECT_EQ(vecLines(strReadFile(first)).size(), 1u);
}

TEST(LogFile, MonthFileIsNamedAfterTheYearAndMonth) {
  CScratchDir dir;
  std::string before, after;
  ASSERT_TRUE(CDateTime::fGetString(before, DT_COMPACT));
  CSystemLog log;
  ASSERT_TRUE(log.fOpenMonthFile(dir.strPath()));
  EXPECT_TRUE(log.fWrite(LOG_ERROR, "month\n"));
  ASSERT_TRUE(CDateTime::fGetString(after, DT_COMPACT));
  bool found = fExists(dir / (before.substr(0, 6) + ".log")) || fExists(dir / (after.substr(0, 6) + ".log"));
  EXPECT_TRUE(found);
}

TEST(Rotation, FullFileIsArchivedBeforeTheFirstNewEntry) {
  CScratchDir dir;
  std::string path = dir / "access.log";
  std::string original = strNumberedLines(10000, "old ");
  vWriteFile(path, original);
  std::string originalBytes = strReadFile(path, true);

  CLogFile log;
  ASSERT_TRUE(log.fOpen(path));
  ASSERT_TRUE(log.fWrite("new\n"));
  EXPECT_EQ(strReadFile(path + ".1", true), originalBytes);
  EXPECT_EQ(strAfterStamp(strReadFile(path)), "new\n");
  ASSERT_TRUE(log.fWrite("newer\n"));
  EXPECT_FALSE(fExists(path + ".2"));
  EXPECT_EQ(vecLines(strReadFile(path)).size(), 2u);
}

TEST(Rotation, CountsTheOpenedFileAndFillsTheFirstGap) {
  CScratchDir dir;
  std::string path = dir / "a.log";
  vWriteFile(path + ".1", "one\n");
  vWriteFile(path + ".3", "three\n");
  vWriteFile(path, "old 0\nold 1\n");
  CLogFile log;
  log.m_iMaxLines = 3;
  ASSERT_TRUE(log.fOpen(path));
  ASSERT_TRUE(log.fWrite("new 2\n"));
  EXPECT_FALSE(fExists(path + ".2"));
  ASSERT_TRUE(log.fWrite("new 3\n"));

  std::vector<std::string> archived = vecLines(strReadFile(path + ".2"));
  ASSERT_EQ(archived.size(), 3u);
  EXPECT_EQ(archived[0], "old 0");
  EXPECT_EQ(strAfterStamp(archived[2]), "new 2");
  EXPECT_EQ(strReadFile(path + ".1"), "one\n");
  EXPECT_EQ(strReadFile(path + ".3"), "three\n");
  EXPECT_FALSE(fExists(path + ".4"));
  EXPECT_EQ(strAfterStamp(strReadFile(path)), "new 3\n");
}

TEST(Rotation, The101stArchiveDeletesAllAndRestartsAtOne) {
  CScratchDir dir;
  std::string path = dir / "a.log";
  for (int n = 1; n <= 100; ++n) vWriteFile(path + "." + std::to_string(n), "archive\n");
  vWriteFile(path, "live 0\nlive 1\n");
  CLogFile log;
  log.m_iMaxLines = 2;
  ASSERT_TRUE(log.fOpen(path));
  ASSERT_TRUE(log.fWrite("new\n"));
  EXPECT_EQ(strReadFile(path + ".1"), "live 0\nlive 1\n");
  for (int n = 2; n <= 100; ++n) EXPECT_FALSE(fExists(path + "." + std::to_string(n))) << n;
  EXPECT_EQ(strAfterStamp(strReadFile(path)), "new\n");
}

TEST(Rotation, NoLineIsLostWhenTheArchiveCannotBeMade) {
  CScratchDir dir;
  std::string path = dir / "a.log";
  vWriteFile(path, "old 0\nold 1\n");
  // The first free name is held by a folder: the archive cannot be created there.
  std::filesystem::create_directory(path + ".1");
  CLogFile log;
  log.m_iMaxLines = 2;
  ASSERT_TRUE(log.fOpen(path));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(log.fWrite("new %d\n", i));
  EXPECT_TRUE(fIsDirectory(path + ".1"));
  EXPECT_FALSE(fExists(path + ".2"));
  std::vector<std::string> live = vecLines(strReadFile(path));
  ASSERT_EQ(live.size(), 5u);
  EXPECT_EQ(live[1], "old 1");
  EXPECT_EQ(strAfterStamp(live[4]), "new 2");

  // Once the name is free again, the next write archives every line kept meanwhile.
  std::filesystem::remove(path + ".1");
  EXPECT_TRUE(log.fWrite("new 3\n"));
  std::vector<std::string> archived = vecLines(strReadFile(path + ".1"));
  ASSERT_EQ(archived.size(), 5u);
  EXPECT_EQ(archived[0], "old 0");
  EXPECT_EQ(strAfterStamp(archived[4]), "new 2");
  EXPECT_EQ(strAfterStamp(strReadFile(path)), "new 3\n");
}

TEST(Rotation, ManyThreadsWriteEveryEntryExactlyOnceInWholeLines) {
  const int kThreads = 4, kEntries = 300;
  const unsigned kMaxLines = 25;  // 1200 entries: 47 full archives and a full live file
  CScratchDir dir;
  std::string path = dir / "threads.log";
  CSystemLog log;
  log.m_iMaxLines = kMaxLines;
  ASSERT_TRUE(log.fOpen(path));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&log, t] {
      for (int i = 0; i < kEntries; ++i) log.fWrite(LOG_ERROR, "thread %d entry %d %s\n", t, i, "ＡＢＣ");
    });
  }
  for (std::thread& thread : threads) thread.join();

  // Archives in the order of their making, then the live file.
  std::vector<std::string> files;
  for (int n = 1; fExists(path + "." + std::to_string(n)); ++n) files.push_back(path + "." + std::to_string(n));
  files.push_back(path);
  ASSERT_EQ(files.size(), static_cast<size_t>(kThreads * kEntries / kMaxLines));

  std::regex entry(std::string("^\"Error\",") + kStamp + "thread (\\d+) entry (\\d+) ＡＢＣ$");
  std::map<int, int> next;  // per thread, the entry expected next
  for (const std::string& file : files) {
    std::vector<std::string> lines = vecLines(strReadFile(file));
    EXPECT_EQ(lines.size(), kMaxLines) << file;
    for (const std::string& line : lines) {
      std::smatch m;
      ASSERT_TRUE(std::regex_match(line, m, entry)) << line;
      int t = std::stoi(m[2]), i = std::stoi(m[3]);
      EXPECT_EQ(i, next[t]) << "thread " << t;
      next[t] = i + 1;
    }
  }
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(next[t], kEntries) << "thread " << t;
}

}  // namespace
