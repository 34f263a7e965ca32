// The status file: its text in the Prometheus text format, the counters behind it, and its writes.
#include "app/status_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/file_system.h"
#include "tests/common/test_files.h"

namespace {

std::string strRead(const std::string& strPath) {
  std::ifstream in(strPath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every line is a HELP, a TYPE or a sample of the family they named, and every family has both.
void vCheckFormat(const std::string& strText) {
  std::istringstream in(strText);
  std::string family;
  int iHelp = 0, iType = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("# HELP ", 0) == 0) {
      family = line.substr(7, line.find(' ', 7) - 7);
      ++iHelp;
    } else if (line.rfind("# TYPE ", 0) == 0) {
      EXPECT_EQ(line.substr(7, line.find(' ', 7) - 7), family) << line;
      ++iType;
    } else {
      EXPECT_EQ(line.compare(0, family.size(), family), 0) << line;
      char cAfter = line.size() > family.size() ? line[family.size()] : 0;
      EXPECT_TRUE(cAfter == ' ' || cAfter == '{') << line;
    }
  }
  EXPECT_EQ(iHelp, iType);
  EXPECT_GT(iHelp, 10);
  EXPECT_EQ(strText.back(), '\n');
}

TEST(StatusText, SeriesFollowTheCounters) {
  CStatusCounters counters;
  double dBefore = dWallClockNow();
  counters.vNavigation(NAVOUT_COMPLETE);
  counters.vNavigation(NAVOUT_COMPLETE);
  counters.vNavigation(NAVOUT_REFUSED);
  counters.vRefusedInput(REFUSED_RIGHT_CLICK);
  counters.vRefusedInput(REFUSED_GESTURE);
  counters.vRefusedInput(REFUSED_GESTURE);
  counters.vEngineRecovery("crash");
  counters.vEngineRecovery("hang");
  counters.vEngineRecovery("crash");
  counters.vRetry();
  counters.vIdleReset();
  counters.vShownUrl("http://host/a?b=\"c\"\\d");
  EXPECT_GE(counters.dLastCompleteTime(), dBefore - 1);
  EXPECT_EQ(counters.dLastErrorTime(), 0);
  std::string text = strStatusText(counters, TRUE, 123456789, 1765459200.5);
  vCheckFormat(text);
  for (const char* pszLine :
       {"tarvenix_status_time_seconds 1765459200.500\n", "# TYPE tarvenix_navigations_total counter\n",
        "tarvenix_navigations_total{outcome=\"complete\"} 2\n", "tarvenix_navigations_total{outcome=\"error\"} 0\n",
        "tarvenix_navigations_total{outcome=\"refused\"} 1\n",
        "tarvenix_refused_inputs_total{kind=\"right_click\"} 1\n", "tarvenix_refused_inputs_total{kind=\"wheel\"} 0\n",
        "tarvenix_refused_inputs_total{kind=\"new_window\"} 0\n", "tarvenix_refused_inputs_total{kind=\"gesture\"} 2\n",
        "tarvenix_engine_recoveries_total{reason=\"crash\"} 2\n",
        "tarvenix_engine_recoveries_total{reason=\"hang\"} 1\n", "tarvenix_retries_total 1\n",
        "tarvenix_idle_resets_total 1\n", "# TYPE tarvenix_resident_memory_bytes gauge\n",
        "tarvenix_resident_memory_bytes 123456789\n", "tarvenix_last_error_time_seconds 0.000\n",
        "tarvenix_page_info{url=\"http://host/a?b=\\\"c\\\"\\\\d\"} 1\n"}) {
    EXPECT_NE(text.find(pszLine), std::string::npos) << pszLine << "\n" << text;
  }
  EXPECT_EQ(strStatusText(counters, FALSE, 0, 0).find("resident_memory"), std::string::npos);
}

TEST(StatusText, LabelValuesStayValidText) {
  EXPECT_EQ(strLabelValue("a\\b\"c\nd"), "a\\\\b\\\"c\\nd");
  // Bytes of another code page (CP932 "テ") and controls become escapes of the address kind.
  EXPECT_EQ(strLabelValue("http://h/\x83\x65\t\x7F"), "http://h/%83e%09%7F");
  EXPECT_EQ(strLabelValue(""), "");
}

TEST(StatusCounters, NavigationEventsTellTheListener) {
  struct CCount : CStatusListener {
    int iCalls = 0;
    void vOnNavigationEvent() override { ++iCalls; }
  } listener;
  CStatusCounters counters;
  counters.vSetListener(&listener);
  counters.vNavigation(NAVOUT_ERROR);
  counters.vShownUrl("about:blank");
  counters.vRefusedInput(REFUSED_WHEEL);
  counters.vIdleReset();
  EXPECT_EQ(listener.iCalls, 2);
  EXPECT_GT(counters.dLastErrorTime(), 0);
  counters.vNavigation(static_cast<NavigationOutcome>(NAVOUT_COUNT));
  counters.vRefusedInput(static_cast<RefusedInput>(-1));
  EXPECT_EQ(listener.iCalls, 2);
}

class StatusFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_strPath = m_dir / "Tarvenix.prom";
    m_strLog = m_dir / "sys.log";
    m_log.fOpen(m_strLog);
  }
  txtest::CScratchDir m_dir;
  std::string m_strPath, m_strLog;
  CSystemLog m_log;
};

TEST_F(StatusFileTest, WrittenAtEveryNavigationEvent) {
  CStatusCounters counters;
  {
    CStatusFile file(m_strPath, counters, m_log);
    counters.vShownUrl("http://host/first");
    EXPECT_NE(strRead(m_strPath).find("url=\"http://host/first\""), std::string::npos);
    counters.vNavigation(NAVOUT_COMPLETE);
    std::string text = strRead(m_strPath);
    EXPECT_NE(text.find("outcome=\"complete\"} 1\n"), std::string::npos);
    EXPECT_NE(text.find("tarvenix_resident_memory_bytes "), std::string::npos);
    vCheckFormat(text);
  }
  // Gone with the file object: the counters no longer write.
  platform::fDeleteFile(m_strPath.c_str());
  counters.vNavigation(NAVOUT_COMPLETE);
  EXPECT_FALSE(platform::fIsRegularFile(m_strPath.c_str()));
}

TEST_F(StatusFileTest, FailureLoggedOnceUntilAWriteSucceeds) {
  CStatusCounters counters;
  std::string strMissing = m_dir / ("missing" + std::string(1, platform::cPathSeparator()) + "Tarvenix.prom");
  CStatusFile file(strMissing, counters, m_log);
  EXPECT_FALSE(file.fWrite());
  EXPECT_FALSE(file.fWrite());
  std::string log = strRead(m_strLog);
  std::string line = "ステータスファイル書き込みに失敗[" + strMissing + "]";
  ASSERT_NE(log.find(line), std::string::npos) << log;
  EXPECT_EQ(log.find(line, log.find(line) + 1), std::string::npos) << log;
}

}  // namespace
