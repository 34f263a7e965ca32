// Tests of the navigation tracker: its state table, its log lines and the ambient answer.
#include <gtest/gtest.h>

#include <string>

#include "log_capture.h"
#include "view/navigation_tracker.h"

namespace {

const CFrameId kTop(0x4A1B20);                     // the top-level browser
const CFrameId kFrame(uintptr_t{0x7FF612345678});  // an iframe inside the page

struct CCountingHost : CNavigationHost {
  void vRefreshDownloadControl() override { ++m_iRefreshes; }
  int m_iRefreshes = 0;
};

class NavigationTrackerTest : public ::testing::Test {
 protected:
  CLogCapture m_logs;
  CCountingHost m_host;
  CNavigationTracker m_tracker{m_host, m_logs.m_sysLog, m_logs.m_accessLog};
};

enum Event { BEFORE, COMPLETE, ERROR_, DOCUMENT };

// The texts of each event, written out here as the logs must show them.
struct CTexts {
  const char* pszName;
  const char* pszLabel;
  const char* pszStart;
  const char* pszOther;
};
const CTexts kTexts[] = {
    {"CChildView::OnBeforeNavigate2Custum()\n", "ナビゲート開始前 URI[",
     "開始フレームと一致するページがナビゲート開始前->ナビゲート完了へ\n",
     "その他一致しないフレームページがナビゲート開始前->無視\n"},
    {"CChildView::OnNavigateComplete2Custum()\n", "ナビゲート完了 URI[",
     "開始フレームと一致するページがナビゲート完了->ドキュメント完了へ\n",
     "その他一致しないフレームページがナビゲート完了->無視\n"},
    {"CChildView::OnNavigateErrorCustum()\n", "ナビゲートエラー URI[",
     "開始フレームと一致するページがナビゲートエラー\n", "その他一致しないフレームページがナビゲートエラー->無視\n"},
    {"CChildView::OnDocumentCompleteCustum()\n", "ドキュメント完了 URI[",
     "開始フレームと一致するページがドキュメント完了\n", "その他一致しないフレームページがドキュメント完了->無視\n"},
};

std::string strAll(const std::string& strMessage) { return "\"All\"," + strMessage; }

std::string strIds(const char* pszThis, const char* pszStart) {
  return std::string("今回のid=[") + pszThis + "] 開始id=[" + pszStart + "]";
}

// Raises one event; returns the cancel flag the tracker left (for the events that have one).
BOOL fRaise(CNavigationTracker& tracker, Event eEvent, CFrameId id, const std::string& strUrl) {
  BOOL bCancel = 7;
  switch (eEvent) {
    case BEFORE: tracker.vBeforeNavigate2(id, strUrl, &bCancel); break;
    case COMPLETE: tracker.vNavigateComplete2(id, strUrl); break;
    case ERROR_: tracker.vNavigateError(id, strUrl, &bCancel); break;
    case DOCUMENT: tracker.vDocumentComplete(id, strUrl); break;
  }
  return bCancel;
}

// Every transition of the state table: the lines of the event in both logs and the state after.
TEST_F(NavigationTrackerTest, EveryTransitionOfTheStateTable) {
  const char* kTopText = "00000000004A1B20";
  const char* kFrameText = "00007FF612345678";
  const char* kNull = "0000000000000000";
  struct CRow {
    NavigationState eFrom;
    Event eEvent;
    CFrameId id;
    const char* pszStartBefore;  // start id shown in the trace
    BOOL bStartFrame;
    BOOL bTakesStartId;
    NavigationState eTo;
  };
  const CRow rows[] = {
      {NAVSTATE_IDLE, BEFORE, kTop, kNull, FALSE, FALSE, NAVSTATE_IDLE},
      {NAVSTATE_IDLE, COMPLETE, kTop, kNull, FALSE, FALSE, NAVSTATE_IDLE},
      {NAVSTATE_IDLE, ERROR_, kTop, kNull, FALSE, FALSE, NAVSTATE_IDLE},
      {NAVSTATE_IDLE, DOCUMENT, kTop, kNull, FALSE, FALSE, NAVSTATE_IDLE},
      {NAVSTATE_ARMED, BEFORE, kTop, kTopText, TRUE, TRUE, NAVSTATE_FOLLOWING},
      {NAVSTATE_ARMED, BEFORE, kFrame, kFrameText, TRUE, TRUE, NAVSTATE_FOLLOWING},
      {NAVSTATE_ARMED, COMPLETE, kTop, kNull, FALSE, FALSE, NAVSTATE_ARMED},
      {NAVSTATE_ARMED, ERROR_, kTop, kNull, FALSE, FALSE, NAVSTATE_ARMED},
      {NAVSTATE_ARMED, DOCUMENT, kTop, kNull, FALSE, FALSE, NAVSTATE_ARMED},
      {NAVSTATE_FOLLOWING, BEFORE, kTop, kTopText, TRUE, FALSE, NAVSTATE_FOLLOWING},
      {NAVSTATE_FOLLOWING, COMPLETE, kTop, kTopText, TRUE, FALSE, NAVSTATE_FOLLOWING},
      {NAVSTATE_FOLLOWING, ERROR_, kTop, kTopText, TRUE, FALSE, NAVSTATE_IDLE},
      {NAVSTATE_FOLLOWING, DOCUMENT, kTop, kTopText, TRUE, FALSE, NAVSTATE_IDLE},
      {NAVSTATE_FOLLOWING, BEFORE, kFrame, kTopText, FALSE, FALSE, NAVSTATE_FOLLOWING},
      {NAVSTATE_FOLLOWING, COMPLETE, kFrame, kTopText, FALSE, FALSE, NAVSTATE_FOLLOWING},
      {NAVSTATE_FOLLOWING, ERROR_, kFrame, kTopText, FALSE, FALSE, NAVSTATE_FOLLOWING},
      {NAVSTATE_FOLLOWING, DOCUMENT, kFrame, kTopText, FALSE, FALSE, NAVSTATE_FOLLOWING},
  };
  int iRow = 0;
  for (const CRow& row : rows) {
    SCOPED_TRACE("row " + std::to_string(iRow++));
    CLogCapture logs;
    CCountingHost host;
    CNavigationTracker tracker(host, logs.m_sysLog, logs.m_accessLog);
    if (row.eFrom != NAVSTATE_IDLE) tracker.vNavigateInit("about:blank");
    if (row.eFrom == NAVSTATE_FOLLOWING) tracker.vBeforeNavigate2(kTop, "about:blank", nullptr);
    ASSERT_EQ(tracker.eState(), row.eFrom);
    std::string sysBefore = logs.strSysLog();
    std::string accessBefore = logs.strAccessLog();
    int iRefreshesBefore = host.m_iRefreshes;

    const CTexts& t = kTexts[row.eEvent];
    const char* pszThis = row.id == kTop ? kTopText : kFrameText;
    BOOL bCancel = fRaise(tracker, row.eEvent, row.id, "http://host/a");

    std::string sys = strAll(t.pszName);
    if (row.bTakesStartId)
      sys += strAll(std::string("最初のナビゲート 開始id[") + (row.id == kTop ? "4A1B20" : "12345678") + "] set\n");
    sys += strAll(std::string(t.pszLabel) + "http://host/a] " + strIds(pszThis, row.pszStartBefore) + "\n");
    sys += strAll(row.bStartFrame ? t.pszStart : t.pszOther);
    if (row.bStartFrame && (row.eEvent == ERROR_ || row.eEvent == DOCUMENT)) sys += strAll("開始id clear\n");
    EXPECT_EQ(logs.strSysLog(), sysBefore + sys);
    EXPECT_EQ(logs.strAccessLog(), accessBefore + t.pszLabel + "http://host/a] " + strIds(pszThis, row.pszStartBefore) +
                                       (row.bStartFrame ? "(開始フレームと一致)" : "(その他一致しないフレーム)") +
                                       "\n");
    EXPECT_EQ(tracker.eState(), row.eTo);
    EXPECT_EQ(tracker.idStart(), row.eTo != NAVSTATE_FOLLOWING ? CFrameId() : row.bTakesStartId ? row.id : kTop);
    // Every navigation error is cancelled; a navigation is never cancelled before it starts.
    EXPECT_EQ(bCancel, row.eEvent == ERROR_ ? TRUE : row.eEvent == BEFORE ? FALSE : 7);
    EXPECT_EQ(host.m_iRefreshes - iRefreshesBefore, row.eEvent == BEFORE ? 1 : 0);
  }
}

TEST_F(NavigationTrackerTest, NavigateInitArmsFromEveryState) {
  m_tracker.vNavigateInit("about:blank");
  m_tracker.vBeforeNavigate2(kTop, "about:blank", nullptr);
  ASSERT_EQ(m_tracker.eState(), NAVSTATE_FOLLOWING);
  std::string before = m_logs.strSysLog();
  m_tracker.vNavigateInit("http://host/next");
  EXPECT_EQ(m_tracker.eState(), NAVSTATE_ARMED);
  EXPECT_TRUE(m_tracker.idStart().fIsNull());
  EXPECT_EQ(m_logs.strSysLog(),
            before + strAll("CChildView::vNavigateInit()\n") + strAll("engineからナビゲート開始[http://host/next]\n"));
}

// The road of a page: the program's own navigation with an iframe, then a link the user follows.
TEST_F(NavigationTrackerTest, PageWithIframeThenUserLink) {
  m_tracker.vNavigateInit("http://host/");
  fRaise(m_tracker, BEFORE, kTop, "http://host/");
  fRaise(m_tracker, COMPLETE, kTop, "http://host/");
  fRaise(m_tracker, BEFORE, kFrame, "http://host/frame");
  fRaise(m_tracker, COMPLETE, kFrame, "http://host/frame");
  fRaise(m_tracker, DOCUMENT, kFrame, "http://host/frame");
  EXPECT_EQ(m_tracker.idStart(), kTop);
  fRaise(m_tracker, DOCUMENT, kTop, "http://host/");
  EXPECT_EQ(m_tracker.eState(), NAVSTATE_IDLE);
  // The user's link: the same top-level browser, but no new start id is taken.
  fRaise(m_tracker, BEFORE, kTop, "http://host/link");
  fRaise(m_tracker, COMPLETE, kTop, "http://host/link");
  fRaise(m_tracker, DOCUMENT, kTop, "http://host/link");
  EXPECT_EQ(m_tracker.eState(), NAVSTATE_IDLE);

  EXPECT_EQ(
      m_logs.strAccessLog(),
      "ナビゲート開始前 URI[http://host/] 今回のid=[00000000004A1B20] 開始id=[00000000004A1B20](開始フレームと一致)\n"
      "ナビゲート完了 URI[http://host/] 今回のid=[00000000004A1B20] 開始id=[00000000004A1B20](開始フレームと一致)\n"
      "ナビゲート開始前 URI[http://host/frame] 今回のid=[00007FF612345678] "
      "開始id=[00000000004A1B20](その他一致しないフレーム)\n"
      "ナビゲート完了 URI[http://host/frame] 今回のid=[00007FF612345678] "
      "開始id=[00000000004A1B20](その他一致しないフレーム)\n"
      "ドキュメント完了 URI[http://host/frame] 今回のid=[00007FF612345678] "
      "開始id=[00000000004A1B20](その他一致しないフレーム)\n"
      "ドキュメント完了 URI[http://host/] 今回のid=[00000000004A1B20] 開始id=[00000000004A1B20](開始フレームと一致)\n"
      "ナビゲート開始前 URI[http://host/link] 今回のid=[00000000004A1B20] "
      "開始id=[0000000000000000](その他一致しないフレーム)\n"
      "ナビゲート完了 URI[http://host/link] 今回のid=[00000000004A1B20] "
      "開始id=[0000000000000000](その他一致しないフレーム)\n"
      "ドキュメント完了 URI[http://host/link] 今回のid=[00000000004A1B20] "
      "開始id=[0000000000000000](その他一致しないフレーム)\n");
  std::string sys = m_logs.strSysLog();
  EXPECT_EQ(sys.find("最初のナビゲート"), sys.rfind("最初のナビゲート"));
  EXPECT_EQ(m_host.m_iRefreshes, 3);
}

TEST_F(NavigationTrackerTest, FirstBeforeNavigateWritesItsLinesInOrder) {
  m_tracker.vNavigateInit("about:blank");
  BOOL bCancel = TRUE;
  m_tracker.vBeforeNavigate2(kTop, "about:blank", &bCancel);
  EXPECT_EQ(bCancel, FALSE);
  EXPECT_EQ(m_logs.strSysLog(),
            "\"All\",CChildView::vNavigateInit()\n"
            "\"All\",engineからナビゲート開始[about:blank]\n"
            "\"All\",CChildView::OnBeforeNavigate2Custum()\n"
            "\"All\",最初のナビゲート 開始id[4A1B20] set\n"
            "\"All\",ナビゲート開始前 URI[about:blank] 今回のid=[00000000004A1B20] 開始id=[00000000004A1B20]\n"
            "\"All\",開始フレームと一致するページがナビゲート開始前->ナビゲート完了へ\n");
  EXPECT_EQ(
      m_logs.strAccessLog(),
      "ナビゲート開始前 URI[about:blank] 今回のid=[00000000004A1B20] 開始id=[00000000004A1B20](開始フレームと一致)\n");
}

TEST_F(NavigationTrackerTest, NavigateInitTwiceArmsOnce) {
  m_tracker.vNavigateInit("http://a/");
  m_tracker.vNavigateInit("http://b/");
  EXPECT_EQ(m_logs.strSysLog(),
            "\"All\",CChildView::vNavigateInit()\n\"All\",engineからナビゲート開始[http://a/]\n"
            "\"All\",CChildView::vNavigateInit()\n\"All\",engineからナビゲート開始[http://b/]\n");
  m_tracker.vBeforeNavigate2(kTop, "http://b/", nullptr);
  m_tracker.vBeforeNavigate2(kFrame, "http://b/frame", nullptr);
  EXPECT_EQ(m_tracker.idStart(), kTop);
  std::string sys = m_logs.strSysLog();
  EXPECT_EQ(sys.find("最初のナビゲート"), sys.rfind("最初のナビゲート"));
}

TEST_F(NavigationTrackerTest, UrlIsWrittenAsReceived) {
  // Percent signs, format directives and Japanese bytes survive in every line of both logs.
  const std::string url = "http://host/%E3%81%82?q=%s%n%d%%&x=日本語";
  m_tracker.vNavigateInit(url);
  for (Event e : {BEFORE, COMPLETE, ERROR_, DOCUMENT}) fRaise(m_tracker, e, kTop, url);
  std::string sys = m_logs.strSysLog();
  std::string access = m_logs.strAccessLog();
  size_t uInSys = 0, uInAccess = 0;
  for (size_t p = sys.find(url); p != std::string::npos; p = sys.find(url, p + 1)) ++uInSys;
  for (size_t p = access.find(url); p != std::string::npos; p = access.find(url, p + 1)) ++uInAccess;
  EXPECT_EQ(uInSys, 5u);  // the start line and four trace lines
  EXPECT_EQ(uInAccess, 4u);
  EXPECT_NE(access.find("URI[" + url + "] 今回のid=[00000000004A1B20] 開始id=[00000000004A1B20](開始フレームと一致)\n"),
            std::string::npos);
}

TEST_F(NavigationTrackerTest, EventWithoutIdentityIsNeverTheStartFrame) {
  // A backend that cannot name a frame gives it the null identity; it cannot be followed.
  m_tracker.vNavigateInit("about:blank");
  fRaise(m_tracker, BEFORE, CFrameId(), "about:blank");
  fRaise(m_tracker, DOCUMENT, CFrameId(), "about:blank");
  EXPECT_EQ(m_tracker.eState(), NAVSTATE_ARMED);
  EXPECT_EQ(m_logs.strAccessLog(),
            "ナビゲート開始前 URI[about:blank] 今回のid=[0000000000000000] "
            "開始id=[0000000000000000](その他一致しないフレーム)\n"
            "ドキュメント完了 URI[about:blank] 今回のid=[0000000000000000] "
            "開始id=[0000000000000000](その他一致しないフレーム)\n");
  fRaise(m_tracker, BEFORE, kTop, "about:blank");
  EXPECT_EQ(m_tracker.idStart(), kTop);
}

TEST_F(NavigationTrackerTest, NavigateErrorWithoutCancelFlagStillRuns) {
  m_tracker.vNavigateInit("http://unreachable/");
  m_tracker.vBeforeNavigate2(kTop, "http://unreachable/", nullptr);
  m_tracker.vNavigateError(kTop, "http://unreachable/", nullptr);
  EXPECT_EQ(m_tracker.eState(), NAVSTATE_IDLE);
  std::string sys = m_logs.strSysLog();
  EXPECT_NE(sys.find("\"All\",開始フレームと一致するページがナビゲートエラー\n\"All\",開始id clear\n"),
            std::string::npos);
}

TEST(IdTexts, PointerAndLow32Texts) {
  struct CRow {
    uint64_t uValue;
    const char* pszPointer;
    const char* pszLow32;
  };
  const CRow rows[] = {
      {0, "0000000000000000", "0"},
      {0x4A1B20, "00000000004A1B20", "4A1B20"},
      {0xABCDEF0012345678ull, "ABCDEF0012345678", "12345678"},
      {0x0000000100000000ull, "0000000100000000", "0"},
      {0xFFFFFFFFFFFFFFFFull, "FFFFFFFFFFFFFFFF", "FFFFFFFF"},
  };
  for (const CRow& row : rows) {
    CFrameId id(static_cast<uintptr_t>(row.uValue));
    EXPECT_EQ(strPointerText(id), row.pszPointer);
    EXPECT_EQ(strLow32Text(id), row.pszLow32);
  }
  int object = 0;
  EXPECT_EQ(CFrameId::idOf(&object), CFrameId::idOf(&object));
  EXPECT_EQ(CFrameId::idOf(&object).uValue(), reinterpret_cast<uintptr_t>(&object));
}

TEST(AmbientProperty, OnlyDownloadControlIsAnswered) {
  int32_t iValue = 0;
  EXPECT_TRUE(fGetAmbientProperty(-5512, iValue));
  EXPECT_EQ(iValue, 0x40006470);
  for (int32_t iDispId : {-5511, -5513, -5501, 0, 5512}) {
    iValue = 123;
    EXPECT_FALSE(fGetAmbientProperty(iDispId, iValue)) << iDispId;
    EXPECT_EQ(iValue, 123);
  }
}

}  // namespace
