// Tests of the Linux private profile files: exact bytes written, hostile files, read-only files.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/profile_text.h"
#include "platform/profile.h"

namespace {

class LinuxProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/txprofileXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    m_dir = tmpl;
    m_path = m_dir + "/Tarvenix.ini";
  }
  void TearDown() override {
    chmod(m_dir.c_str(), 0755);
    std::string cmd = "rm -rf '" + m_dir + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  void vPut(const std::string& text) {
    FILE* fp = std::fopen(m_path.c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    std::fwrite(text.data(), 1, text.size(), fp);
    std::fclose(fp);
  }
  std::string strFile() {
    std::string text;
    FILE* fp = std::fopen(m_path.c_str(), "rb");
    if (fp == nullptr) return "<none>";
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) text.append(buf, n);
    std::fclose(fp);
    return text;
  }
  std::string strGet(const char* key) {
    char buf[260] = {};
    platform::uGetPrivateProfileString("Setting", key, "dflt", buf, sizeof buf, m_path.c_str());
    return buf;
  }
  BOOL fSet(const char* key, const char* value) {
    return platform::fWritePrivateProfileString("Setting", key, value, m_path.c_str());
  }
  std::vector<std::string> entries() {
    std::vector<std::string> names;
    DIR* d = opendir(m_dir.c_str());
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
    return names;
  }
  std::string m_dir, m_path;
};

TEST_F(LinuxProfile, WritesExactBytesAndKeepsEveryOtherLine) {
  struct Case {
    const char* name;
    std::string before;
    const char* key;
    const char* value;
    std::string after;
  } cases[] = {
      {"new file", "<none>", "FullScreen", "1", "[Setting]\nFullScreen=1\n"},
      {"replace in place, prefix kept", "; c\n[Setting]\n  fullscreen = -1  \nX=2\n", "FullScreen", "1",
       "; c\n[Setting]\n  fullscreen = 1\nX=2\n"},
      {"append before the blank lines of the section", "[Setting]\r\nA=1\r\n; note\r\n\r\n[Next]\r\nB=2\r\n", "C", "3",
       "[Setting]\r\nA=1\r\n; note\r\nC=3\r\n\r\n[Next]\r\nB=2\r\n"},
      {"last line without line end", "[Setting]\r\nA=1", "B", "2", "[Setting]\r\nA=1\r\nB=2\r\n"},
      {"new section after the others", "[Other]\r\nA=1", "B", "2", "[Other]\r\nA=1\r\n[Setting]\r\nB=2\r\n"},
      {"first of duplicate sections and keys", "[Setting]\nK=1\nK=2\n[SETTING]\nK=3\n", "k", "9",
       "[Setting]\nK=9\nK=2\n[SETTING]\nK=3\n"},
      {"byte-order mark", "\xEF\xBB\xBF[Setting]\nA=1\n", "A", "5", "\xEF\xBB\xBF[Setting]\nA=5\n"},
      {"no section at all", "garbage\nK=1\n", "K", "2", "garbage\nK=1\n[Setting]\nK=2\n"},
      {"delete a key", "[Setting]\nA=1\nB=2\n", "A", nullptr, "[Setting]\nB=2\n"},
  };
  for (const Case& c : cases) {
    std::remove(m_path.c_str());
    if (c.before != "<none>") vPut(c.before);
    EXPECT_TRUE(fSet(c.key, c.value)) << c.name;
    EXPECT_EQ(strFile(), c.after) << c.name;
  }
}

TEST_F(LinuxProfile, ReadOnlyFileOrFolderRefusesTheWriteAndChangesNothing) {
  const std::string before = "[Setting]\nA=1\n";
  vPut(before);
  chmod(m_path.c_str(), 0444);
  EXPECT_FALSE(fSet("B", "2"));
  EXPECT_EQ(strFile(), before);
  chmod(m_path.c_str(), 0644);
  chmod(m_dir.c_str(), 0555);
  EXPECT_FALSE(fSet("B", "2"));
  EXPECT_EQ(strFile(), before);
  std::remove(m_path.c_str());  // the folder still grants removal to root; a new file must not appear
  EXPECT_FALSE(fSet("B", "2"));
  EXPECT_EQ(strFile(), "<none>");
  chmod(m_dir.c_str(), 0755);
  EXPECT_EQ(entries().size(), 0u);
}

TEST_F(LinuxProfile, ReplacesTheFileWholeKeepingItsModeAndLeavesNoTemporaryFile) {
  vPut("[Setting]\nA=1\n");
  chmod(m_path.c_str(), 0640);
  struct stat before {};
  stat(m_path.c_str(), &before);
  ASSERT_TRUE(fSet("A", "2"));
  struct stat after {};
  stat(m_path.c_str(), &after);
  EXPECT_NE(before.st_ino, after.st_ino);  // a new file took the old one's name
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(entries(), std::vector<std::string>{"Tarvenix.ini"});
}

// A new settings file takes the umask as any new file does, and writing one never changes the
// umask that other threads of the program create their files with meanwhile.
TEST_F(LinuxProfile, NewFilesTakeTheUmaskWithoutChangingItForOtherThreads) {
  mode_t saved = umask(027);
  ASSERT_TRUE(fSet("A", "1"));
  struct stat st {};
  ASSERT_EQ(stat(m_path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  std::atomic<bool> done{false};
  std::atomic<int> wrongModes{0};
  std::thread other([&] {
    std::string path = m_dir + "/other";
    while (!done) {
      int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
      if (fd < 0) continue;
      struct stat made {};
      if (fstat(fd, &made) == 0 && (made.st_mode & 07777) != 0640) wrongModes++;
      close(fd);
      unlink(path.c_str());
    }
  });
  std::string path = m_dir + "/new.ini";
  for (int i = 0; i < 30000 && wrongModes == 0; ++i) {
    std::remove(path.c_str());
    ASSERT_TRUE(platform::fWritePrivateProfileString("Setting", "A", "1", path.c_str()));
  }
  done = true;
  other.join();
  umask(saved);
  EXPECT_EQ(wrongModes, 0);
}

TEST_F(LinuxProfile, WritesThroughASymbolicLinkAndKeepsTheLink) {
  std::string target = m_dir + "/shared.ini";
  std::rename(m_path.c_str(), target.c_str());
  FILE* fp = std::fopen(target.c_str(), "wb");
  ASSERT_NE(fp, nullptr);
  std::fputs("[Setting]\nA=1\n", fp);
  std::fclose(fp);
  ASSERT_EQ(symlink("shared.ini", m_path.c_str()), 0);
  ASSERT_TRUE(fSet("B", "2"));
  struct stat st {};
  ASSERT_EQ(lstat(m_path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(strFile(), "[Setting]\nA=1\nB=2\n");
  std::remove(target.c_str());
  EXPECT_FALSE(fSet("C", "3"));  // the link names nothing now
}

TEST_F(LinuxProfile, SurvivesHostileFilesAndKeepsTheirBytesWhenAppending) {
  std::mt19937 rng(7);
  std::string junk(1 << 16, '\0');
  for (char& c : junk) c = static_cast<char>(rng());
  std::string longLine(100000, 'k');
  std::string big;
  while (big.size() < 10 * 1024 * 1024) big += "[S" + std::to_string(big.size()) + "]\nKey=value\n; comment\n";
  struct Case {
    const char* name;
    std::string text;
  } cases[] = {
      {"binary junk", junk},
      {"ten megabytes", big},
      {"long lines", longLine + "\n[Setting]\n" + longLine + "=" + longLine + "\nBlank=" + longLine + "\n"},
      {"NUL bytes", std::string("[Setting]\nA\0B=1\nBlank=x\0y\n\0\0\0", 22)},
      {"lone carriage returns", "[Setting]\rA=1\r\r\n[\r]\n"},
  };
  for (const Case& c : cases) {
    vPut(c.text);
    std::string blank = strGet("Blank");  // any value; it must not crash
    EXPECT_LE(blank.size(), 259u) << c.name;
    EXPECT_EQ(strGet("NewKey"), "dflt") << c.name;
    ASSERT_TRUE(fSet("NewKey", "1")) << c.name;
    EXPECT_EQ(strGet("NewKey"), "1") << c.name;
    std::string after = strFile();
    // Only the new line (with a section header and a line end where needed) was added: every
    // byte of the operator's file is still there, in order.
    std::string::size_type at = after.find("NewKey=1");
    ASSERT_NE(at, std::string::npos) << c.name;
    std::string removed;
    for (const std::string& eol : {std::string("\r\n"), std::string("\n"), std::string("\r")}) {
      if (after.compare(at + 8, eol.size(), eol) != 0) continue;
      for (const std::string& added : {std::string(), eol, "[Setting]" + eol, eol + "[Setting]" + eol}) {
        if (at >= added.size() && after.compare(at - added.size(), added.size(), added) == 0) {
          removed = after.substr(0, at - added.size()) + after.substr(at + 8 + eol.size());
          if (removed == c.text) break;
        }
      }
      if (removed == c.text) break;
    }
    EXPECT_TRUE(removed == c.text) << c.name;
  }
}

TEST(ProfileText, ValuesNeedBothQuotesToLoseThem) {
  struct Case {
    const char* value;
    const char* expected;
  } cases[] = {{"\"x\"", "x"}, {"'x'", "x"}, {"\"x", "\"x"},      {"\"x'", "\"x'"},
               {"\"", "\""},   {"\"\"", ""}, {" \" a \" ", " a "}};
  for (const Case& c : cases) {
    std::string value;
    ASSERT_TRUE(platform::fProfileFind(std::string("[Setting]\nK=") + c.value + "\n", "Setting", "K", value));
    EXPECT_EQ(value, c.expected) << c.value;
  }
  std::string value;
  // ";K" is a key of its own name; "K" without "=" is a key without a value.
  EXPECT_FALSE(platform::fProfileFind("[Setting]\n;K=1\nK\nK=2\n", "Setting", "K", value));
}

}  // namespace
