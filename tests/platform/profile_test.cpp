// Tests of the private profile service through its header, natively and under Wine.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/module_path.h"
#include "platform/profile.h"

namespace {

// A fresh file name in the temporary folder (the file itself removed).
class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::fCreateTempFile("~", m_path));
    std::remove(m_path.c_str());
  }
  void TearDown() override { std::remove(m_path.c_str()); }
  void vPut(const std::string& text) {
    FILE* fp = std::fopen(m_path.c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    std::fwrite(text.data(), 1, text.size(), fp);
    std::fclose(fp);
  }
  std::string strGet(const char* key, const char* def = "dflt", unsigned int size = 260) {
    char buf[512] = {};
    unsigned int n = platform::uGetPrivateProfileString("Setting", key, def, buf, size, m_path.c_str());
    EXPECT_EQ(n, std::string(buf).size());
    return buf;
  }
  std::string m_path;
};

TEST_F(ProfileFile, ReadsLikeTheWindowsProfileFunctions) {
  vPut(
      "Top=x\r\n[Other]\r\nFullScreen=9\r\n[ setting ]\r\n  fullSCREEN  =  5  \r\nFullScreen=6\r\n"
      "Quoted=\"a b\"\r\nEmpty=\r\nBlank=\"\"\r\n[Setting]\r\nLater=1\r\n");
  struct Case {
    const char* key;
    const char* expected;
  } cases[] = {
      {"FullScreen", "5"},  // case and blanks ignored, first key wins, other sections ignored
      {"Quoted", "a b"},    // quotes dropped
      {"Empty", ""},       {"Blank", ""},
      {"Missing", "dflt"}, {"Top", "dflt"},  // keys before any section belong to none
      {"Later", "dflt"},                     // only the first section of a name counts
  };
  for (const Case& c : cases) EXPECT_EQ(strGet(c.key), c.expected) << c.key;
}

TEST_F(ProfileFile, CutsAtTheBufferSizeLessOne) {
  vPut("[Setting]\nBlank=" + std::string(300, 'x') + "\n");
  EXPECT_EQ(strGet("Blank"), std::string(259, 'x'));
  EXPECT_EQ(strGet("Blank", "", 1), "");
  EXPECT_EQ(strGet("Missing", "abcdef", 4), "abc");
}

TEST_F(ProfileFile, MissingFileGivesTheDefault) { EXPECT_EQ(strGet("FullScreen", "-1"), "-1"); }

TEST_F(ProfileFile, WritesCreateReplaceAndAppend) {
  ASSERT_TRUE(platform::fWritePrivateProfileString("Setting", "FullScreen", "1", m_path.c_str()));
  ASSERT_TRUE(platform::fWritePrivateProfileString("Setting", "Scroll", "0", m_path.c_str()));
  ASSERT_TRUE(platform::fWritePrivateProfileString("setting", "FULLSCREEN", "7", m_path.c_str()));
  platform::fWritePrivateProfileString(nullptr, nullptr, nullptr, m_path.c_str());  // flush
  EXPECT_EQ(strGet("FullScreen"), "7");
  EXPECT_EQ(strGet("Scroll"), "0");
  ASSERT_TRUE(platform::fWritePrivateProfileString("Setting", "Blank", "\"\"", m_path.c_str()));
  EXPECT_EQ(strGet("Blank"), "");
}

TEST_F(ProfileFile, AppendsAtTheEndOfItsSectionAndKeepsTheOthers) {
  vPut("[Setting]\r\nFullScreen=0\r\n\r\n[Other]\r\nKey=1\r\n");
  ASSERT_TRUE(platform::fWritePrivateProfileString("Setting", "Scroll", "1", m_path.c_str()));
  EXPECT_EQ(strGet("Scroll"), "1");
  EXPECT_EQ(strGet("FullScreen"), "0");
  char buf[16] = {};
  platform::uGetPrivateProfileString("Other", "Key", "", buf, sizeof buf, m_path.c_str());
  EXPECT_STREQ(buf, "1");
}

}  // namespace
