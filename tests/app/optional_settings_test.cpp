// Tests of the optional settings: absent keys keep their defaults, bad values switch a feature off
// with one line, good values are taken, and nothing is ever written to the file.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "app/optional_settings.h"
#include "platform/file_system.h"
#include "platform/module_path.h"

namespace {

std::string strReadBytes(const std::string& strPath) {
  std::ifstream in(strPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A log's text with its CRLF line ends read as LF (Windows stores "\n" as CRLF).
std::string strRead(const std::string& strPath) {
  std::string strText;
  for (char c : strReadBytes(strPath)) {
    if (c != '\r') strText += c;
  }
  return strText;
}

// A settings file with the text, and a program log beside it.
class OptionalSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::fCreateTempFile("~", m_ini.m_strFile));
    ASSERT_TRUE(platform::fCreateTempFile("~", m_strLog));
    m_log.fOpen(m_strLog);
  }
  void TearDown() override {
    std::remove(m_ini.m_strFile.c_str());
    std::remove(m_strLog.c_str());
  }
  COptionalSettings load(const std::string& strText) {
    std::ofstream(m_ini.m_strFile, std::ios::binary) << strText;
    COptionalSettings settings;
    settings.vLoad(m_ini, m_log, "DIR");
    return settings;
  }
  int iLogLines() {
    std::string text = strRead(m_strLog);
    int iLines = 0;
    for (char c : text) iLines += c == '\n';
    return iLines;
  }

  CIniFile m_ini;
  CSystemLog m_log;
  std::string m_strLog;
};

TEST_F(OptionalSettingsTest, AbsentKeysKeepTheDefaultsAndTheFileStaysAsItWas) {
  const std::string strText = "[Setting]\r\nFullScreen=1\r\n";
  COptionalSettings s = load(strText);
  EXPECT_EQ(s.m_iHangTimeout, 30);
  EXPECT_EQ(s.m_iRetryInterval, 0);
  EXPECT_EQ(s.m_iMemoryLimit, 0);
  EXPECT_EQ(s.m_iKeepDisplayOn, 0);
  EXPECT_EQ(s.m_iIdleReset, 0);
  EXPECT_EQ(s.m_iScreenshotInterval, 0);
  EXPECT_EQ(s.m_strAllowUrl, "");
  EXPECT_EQ(s.m_strStatusFile, "");
  EXPECT_EQ(strReadBytes(m_ini.m_strFile), strText);
  EXPECT_EQ(iLogLines(), 0);
}

TEST_F(OptionalSettingsTest, GoodValuesAreTaken) {
  COptionalSettings s = load(
      "[Setting]\nHangTimeout=0\nRetryInterval= 2 \nMemoryLimit=512\nKeepDisplayOn=1\nIdleReset=\"90\"\n"
      "ScreenshotInterval=+5\nAllowUrl=https://*.example.com/*;http://10.0.0.5:8080/*\nStatusFile=1\n");
  EXPECT_EQ(s.m_iHangTimeout, 0);
  EXPECT_EQ(s.m_iRetryInterval, 2);
  EXPECT_EQ(s.m_iMemoryLimit, 512);
  EXPECT_EQ(s.m_iKeepDisplayOn, 1);
  EXPECT_EQ(s.m_iIdleReset, 90);
  EXPECT_EQ(s.m_iScreenshotInterval, 5);
  EXPECT_EQ(s.m_strAllowUrl, "https://*.example.com/*;http://10.0.0.5:8080/*");
  EXPECT_EQ(s.m_strStatusFile, std::string("DIR") + platform::cPathSeparator() + "Tarvenix.prom");
  EXPECT_EQ(iLogLines(), 0);
}

TEST_F(OptionalSettingsTest, EachBadValueWritesOneLineAndSwitchesItsFeatureOff) {
  struct Case {
    const char* pszLine;
    const char* pszLogged;
  } cases[] = {
      {"HangTimeout=abc", "設定ファイル HangTimeout不正[abc] 無効\n"},
      {"HangTimeout=-5", "設定ファイル HangTimeout不正[-5] 無効\n"},
      {"HangTimeout=30s", "設定ファイル HangTimeout不正[30s] 無効\n"},
      {"RetryInterval=", "設定ファイル RetryInterval不正[] 無効\n"},
      {"RetryInterval=99999999999", "設定ファイル RetryInterval不正[99999999999] 無効\n"},
      {"KeepDisplayOn=2", "設定ファイル KeepDisplayOn不正[2] 無効\n"},
      {"MemoryLimit=1.5", "設定ファイル MemoryLimit不正[1.5] 無効\n"},
      {"IdleReset=%s%n", "設定ファイル IdleReset不正[%s%n] 無効\n"},
      {"AllowUrl=;;", "設定ファイル AllowUrl不正[;;] 無効\n"},
      {"StatusFile=", "設定ファイル StatusFile不正[] 無効\n"},
  };
  for (const Case& c : cases) {
    std::ofstream(m_strLog, std::ios::binary | std::ios::trunc);
    m_log.fOpen(m_strLog);
    COptionalSettings s = load(std::string("[Setting]\n") + c.pszLine + "\n");
    std::string strLog = strRead(m_strLog);
    EXPECT_EQ(iLogLines(), 1) << c.pszLine;
    const std::string strTail = std::string(",") + c.pszLogged;
    EXPECT_EQ(strLog.rfind("\"Error\",", 0), 0u) << strLog;
    EXPECT_TRUE(strLog.size() > strTail.size() &&
                strLog.compare(strLog.size() - strTail.size(), strTail.size(), strTail) == 0)
        << c.pszLine << ": " << strLog;
    BOOL bHang = std::string(c.pszLine).rfind("HangTimeout", 0) == 0;
    EXPECT_EQ(s.m_iHangTimeout, bHang ? 0 : 30) << c.pszLine;
    EXPECT_EQ(s.m_iRetryInterval, 0);
    EXPECT_EQ(s.m_iKeepDisplayOn, 0);
    EXPECT_EQ(s.m_iMemoryLimit, 0);
    EXPECT_EQ(s.m_iIdleReset, 0);
    EXPECT_EQ(s.m_strAllowUrl, "");
    EXPECT_EQ(s.m_strStatusFile, "");
  }
}

TEST_F(OptionalSettingsTest, StatusFilePathsLieInTheProgramFolderUnlessAbsolute) {
  const std::string strSep(1, platform::cPathSeparator());
  EXPECT_EQ(load("[Setting]\nStatusFile=status.prom\n").m_strStatusFile, "DIR" + strSep + "status.prom");
  EXPECT_EQ(load("[Setting]\nStatusFile=/var/lib/node/x.prom\n").m_strStatusFile, "/var/lib/node/x.prom");
  EXPECT_EQ(load("[Setting]\nStatusFile=C:\\mon\\x.prom\n").m_strStatusFile, "C:\\mon\\x.prom");
  EXPECT_EQ(load("[Setting]\nStatusFile=0\n").m_strStatusFile, "");
  EXPECT_EQ(iLogLines(), 0);
}

TEST(ParseBoundedInt, AcceptsOnlyWholeNumbersInRange) {
  struct Case {
    const char* pszText;
    BOOL bOk;
    int iValue;
  } cases[] = {
      {"0", TRUE, 0},     {" 17\t", TRUE, 17}, {"+3", TRUE, 3},          {"-1", FALSE, 0},
      {"", FALSE, 0},     {"+", FALSE, 0},     {"1 2", FALSE, 0},        {"0x10", FALSE, 0},
      {"100", TRUE, 100}, {"101", FALSE, 0},   {"2147483648", FALSE, 0},
  };
  for (const Case& c : cases) {
    int iValue = -7;
    EXPECT_EQ(fParseBoundedInt(c.pszText, 0, 100, iValue), c.bOk) << c.pszText;
    if (c.bOk) {
      EXPECT_EQ(iValue, c.iValue) << c.pszText;
    }
  }
  int iValue = 0;
  EXPECT_TRUE(fParseBoundedInt("-5", -10, 10, iValue));
  EXPECT_EQ(iValue, -5);
}

}  // namespace
