// Tests of the Linux HTML view on a private X display: events with frame identities, error pages,
// window.close(), new windows, cancelled navigations, mouse filtering, notices, and a screenshot
// of a page shown full screen.
#include "platform/html_view.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "hooks/detect_mouse_hook.h"
#include "page_script.h"
#include "platform/frame_window.h"
#include "platform/linux/engine_address.h"
#include "platform/message_loop.h"
#include "tests/support/http_server.h"
#include "tests/support/wait.h"
#include "ui_test_util.h"
#include "x_window.h"

namespace {

std::string strPage(const char* pszName) {
  return std::string("file://") + TX_TEST_SOURCE_DIR "/platform/pages/" + pszName;
}

struct CEvent {
  std::string strKind;
  uintptr_t uFrame = 0;
  std::string strUrl;
  uint32_t uStatus = 0;  // NavigateError's status
};

class CTestView : public platform::CHtmlView {
 public:
  std::vector<CEvent> m_events;
  BOOL m_bCancelError = TRUE, m_bCancelNewWindow = TRUE;
  std::string m_strCancelUrl;  // BeforeNavigate2 cancels navigations to it
  uint32_t m_uHostFlags = 0;
  std::vector<platform::MouseMessage> m_mouse;
  BOOL m_bDropRight = FALSE;
  std::vector<uint32_t> m_notices;

  bool fHas(const std::string& strKind, const std::string& strUrl) const {
    for (const auto& e : m_events)
      if (e.strKind == strKind && e.strUrl == strUrl) return true;
    return false;
  }
  int iCount(const std::string& strKind) const {
    int i = 0;
    for (const auto& e : m_events) i += e.strKind == strKind;
    return i;
  }

 protected:
  void BeforeNavigate2(uintptr_t uFrame, const std::string& strUrl, uint32_t, const std::string&,
                       std::vector<unsigned char>&, const std::string&, BOOL* pbCancel) override {
    m_events.push_back({"before", uFrame, strUrl});
    if (strUrl == m_strCancelUrl) *pbCancel = TRUE;
  }
  void NavigateComplete2(uintptr_t uFrame, const std::string& strUrl) override {
    m_events.push_back({"complete", uFrame, strUrl});
  }
  void DocumentComplete(uintptr_t uFrame, const std::string& strUrl) override {
    m_events.push_back({"document", uFrame, strUrl});
  }
  void NavigateError(uintptr_t uFrame, const std::string& strUrl, const std::string&, uint32_t uStatus,
                     BOOL* pbCancel) override {
    m_events.push_back({"error", uFrame, strUrl, uStatus});
    *pbCancel = m_bCancelError;
  }
  void WindowClosing(BOOL, BOOL*) override { m_events.push_back({"closing", 0, ""}); }
  void OnNewWindow2(void**, BOOL* pbCancel) override {
    m_events.push_back({"newwindow", 0, ""});
    *pbCancel = m_bCancelNewWindow;
  }
  void OnGetHostInfo(platform::CHostInfo& info) override { info.m_uFlags = m_uHostFlags; }
  BOOL PreTranslateMouse(platform::MouseMessage eMessage) override {
    m_mouse.push_back(eMessage);
    return m_bDropRight && (eMessage == platform::MOUSEMSG_RBUTTONDOWN || eMessage == platform::MOUSEMSG_RBUTTONUP);
  }
  void OnNotice(uint32_t uMessage) override { m_notices.push_back(uMessage); }
};

// The address the engine is asked for, as the Windows engine takes an operator's address.
TEST(EngineAddress, PathsAreFilesAndAddressesWithoutSchemeGoOverHttp) {
  struct {
    const char* pszGiven;
    const char* pszEngine;
  } cases[] = {
      {"/srv/kiosk/index.html", "file:///srv/kiosk/index.html"},
      {"/srv/kiosk/my page#1.html", "file:///srv/kiosk/my%20page%231.html"},
      {"kiosk.example/page.html", "http://kiosk.example/page.html"},
      {"kiosk.example", "http://kiosk.example"},
      {"127.0.0.1:8080/page", "http://127.0.0.1:8080/page"},
      {"localhost:8080", "http://localhost:8080"},
      {"localhost:8080?a=b", "http://localhost:8080?a=b"},
      {"about:blank", "about:blank"},
      {"file:///srv/kiosk/index.html", "file:///srv/kiosk/index.html"},
      {"https://kiosk.example:8443/page", "https://kiosk.example:8443/page"},
      {"data:text/html,<p>x", "data:text/html,<p>x"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::strEngineAddress(c.pszGiven), c.pszEngine) << c.pszGiven;
}

class HtmlView : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_session.fOk());
    ASSERT_TRUE(platform::fInitMessageLoop());
    ASSERT_TRUE(m_frame.fCreate("Tarvenix", "TarvenixClass", FALSE));
  }
  void vCreate(BOOL bFullScreen = TRUE, BOOL bHardwareAcceleration = FALSE) {
    ASSERT_TRUE(m_view.fCreate(m_frame, bHardwareAcceleration));
    if (bFullScreen) m_frame.vFullScreen();
    m_frame.vShow();
  }
  bool fLoad(const std::string& strUrl) {
    m_view.Navigate2(strUrl.c_str());
    return fRunLoopUntil([&] { return m_view.fHas("document", strUrl) || m_view.fHas("error", strUrl); }, 20000);
  }
  std::string strEval(const char* pszScript) { return strEvalInPage(m_view.hGetWindow(), pszScript); }
  CXSession m_session{false};
  platform::CFrameWindow m_frame;
  CTestView m_view;
};

TEST_F(HtmlView, EventsCarryTheIdentityOfTheirFrame) {
  vCreate();
  std::string strIndex = strPage("index.html"), strFrame = strPage("frame.html");
  ASSERT_TRUE(fLoad(strIndex));
  ASSERT_TRUE(fRunLoopUntil([&] { return m_view.fHas("document", strFrame); }, 5000));
  uintptr_t uMain = m_view.uMainFrameId();
  ASSERT_NE(uMain, 0u);
  // The page: before, complete, document, all with the main frame's identity, in this order.
  std::vector<std::string> mainKinds;
  uintptr_t uInner = 0;
  for (const auto& e : m_view.m_events) {
    if (e.strUrl == strIndex) {
      EXPECT_EQ(e.uFrame, uMain) << e.strKind;
      mainKinds.push_back(e.strKind);
    } else if (e.strUrl == strFrame) {
      EXPECT_NE(e.uFrame, uMain) << e.strKind;
      if (uInner == 0) uInner = e.uFrame;
      EXPECT_EQ(e.uFrame, uInner) << e.strKind;
    }
  }
  EXPECT_EQ(mainKinds, (std::vector<std::string>{"before", "complete", "document"}));
  EXPECT_TRUE(m_view.fHas("before", strFrame));
  EXPECT_TRUE(m_view.fHas("complete", strFrame));
  // The iframe's own navigation keeps its identity; the page's next navigation keeps the main one.
  strEval("document.getElementById('inner').contentWindow.location.href = 'frame2.html'; 0");
  std::string strFrame2 = strPage("frame2.html");
  ASSERT_TRUE(fRunLoopUntil([&] { return m_view.fHas("document", strFrame2); }, 5000));
  for (const auto& e : m_view.m_events)
    if (e.strUrl == strFrame2) {
      EXPECT_EQ(e.uFrame, uInner) << e.strKind;
    }
  std::string strTall = strPage("tall.html");
  ASSERT_TRUE(fLoad(strTall));
  for (const auto& e : m_view.m_events)
    if (e.strUrl == strTall) {
      EXPECT_EQ(e.uFrame, uMain) << e.strKind;
    }
}

TEST_F(HtmlView, ErrorPageOnlyWithoutCancel) {
  vCreate();
  const char* pszDead = "http://127.0.0.1:59999/";  // nobody listens there
  for (BOOL bCancel : {TRUE, FALSE}) {
    m_view.m_events.clear();
    m_view.m_bCancelError = bCancel;
    ASSERT_TRUE(fLoad("about:blank"));
    m_view.Navigate2(pszDead);
    ASSERT_TRUE(fRunLoopUntil([&] { return m_view.iCount("error") > 0; }, 20000)) << [&] {
      std::string str;
      for (const auto& e : m_view.m_events) str += e.strKind + " " + e.strUrl + "\n";
      return str;
    }();
    EXPECT_EQ(m_view.m_events.back().uFrame, m_view.uMainFrameId());
    const char* pszText = "document.body ? document.body.innerText : ''";
    if (bCancel) {
      // No error page is to come: the engine loads one right after the failure, and a local page
      // of its own shows well within 800 ms.
      fRunLoopUntil([] { return false; }, 800);
      EXPECT_EQ(strEval(pszText), "");
      EXPECT_FALSE(m_view.fHas("document", pszDead));
    } else {
      // The engine's own error page, loaded as a document of its own.
      EXPECT_TRUE(txtest::fWaitUntil([&] { return strEval(pszText) != ""; }, 5000));
    }
  }
}

// An HTTP error of the page fails its navigation with the status, as the Windows engine's does:
// cancelled, nothing of the server's page is shown (the page before stays) and no document
// completes; not cancelled, the server's page is shown. A 401 asks for no credentials.
TEST_F(HtmlView, HttpErrorOfThePageIsANavigateErrorWithItsStatus) {
  txtest::CHttpServer server(
      {{"/missing", {404, "", "<title>missing</title>server's own 404 page"}},
       {"/broken", {500, "", "<title>broken</title>server's own 500 page"}},
       {"/private", {401, "WWW-Authenticate: Basic realm=\"kiosk\"\r\n", "<title>private</title>"}},
       {"/fine", {200, "", "<title>fine</title>fine"}}});
  ASSERT_TRUE(server.fOk());
  vCreate();
  struct Case {
    const char* pszPath;
    uint32_t uStatus;
    BOOL bCancel;
    const char* pszTitleAfter;  // the page shown afterwards
  } cases[] = {{"/missing", 404, TRUE, "fine"},
               {"/broken", 500, TRUE, "fine"},
               {"/private", 401, TRUE, "fine"},
               {"/missing", 404, FALSE, "missing"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pszPath) + (c.bCancel ? " cancelled" : " not cancelled"));
    ASSERT_TRUE(fLoad(server.strUrl("/fine")));
    ASSERT_EQ(strEval("document.title"), "fine");
    m_view.m_events.clear();
    m_view.m_bCancelError = c.bCancel;
    const std::string strUrl = server.strUrl(c.pszPath);
    m_view.Navigate2(strUrl.c_str());
    ASSERT_TRUE(fRunLoopUntil([&] { return m_view.iCount("error") > 0; }, 20000)) << [&] {
      std::string str;
      for (const auto& e : m_view.m_events) str += e.strKind + " " + e.strUrl + "\n";
      return str;
    }();
    CEvent error;
    for (const auto& e : m_view.m_events)
      if (e.strKind == "error") error = e;
    EXPECT_EQ(error.strUrl, strUrl);
    EXPECT_EQ(error.uFrame, m_view.uMainFrameId());
    EXPECT_EQ(error.uStatus, c.uStatus);
    fRunLoopUntil([] { return false; }, 800);  // time for a document to complete
    EXPECT_EQ(m_view.iCount("error"), 1);
    EXPECT_EQ(m_view.fHas("document", strUrl), !c.bCancel);
    EXPECT_EQ(strEval("document.title"), c.pszTitleAfter);
  }
}

TEST_F(HtmlView, ScriptCloseRaisesWindowClosing) {
  vCreate();
  ASSERT_TRUE(fLoad(strPage("close.html")));
  EXPECT_TRUE(fRunLoopUntil([&] { return m_view.iCount("closing") > 0; }, 5000));
}

TEST_F(HtmlView, NewWindowCancelledOrOpenedInAWindowOfItsOwn) {
  vCreate(FALSE);
  auto iToplevels = [] {
    GList* pList = gtk_window_list_toplevels();
    int i = 0;
    for (GList* p = pList; p; p = p->next) i += gtk_widget_get_visible(GTK_WIDGET(p->data));
    g_list_free(pList);
    return i;
  };
  int iBefore = iToplevels();
  ASSERT_TRUE(fLoad(strPage("popup.html")));
  ASSERT_TRUE(fRunLoopUntil([&] { return m_view.iCount("newwindow") > 0; }, 5000));
  // No window is to open: an allowed one is made while the request is handled and shows within
  // a few loop turns (below); 500 ms are many of them.
  fRunLoopUntil([] { return false; }, 500);
  EXPECT_EQ(iToplevels(), iBefore);
  m_view.m_bCancelNewWindow = FALSE;
  ASSERT_TRUE(fLoad(strPage("popup.html") + "?again"));
  EXPECT_TRUE(fRunLoopUntil([&] { return iToplevels() == iBefore + 1; }, 5000));
}

// A pop-up that closes itself goes away alone: the page's WindowClosing is not raised.
TEST_F(HtmlView, PopupClosingItselfLeavesThePage) {
  vCreate(FALSE);
  m_view.m_bCancelNewWindow = FALSE;
  ASSERT_TRUE(fLoad(strPage("popup_close.html")));
  ASSERT_TRUE(fRunLoopUntil([&] { return m_view.iCount("newwindow") > 0; }, 5000));
  EXPECT_TRUE(fRunLoopUntil([] { return strRunCommand("xdotool search --name '^close$'").empty(); }, 5000));
  // Nothing is to reach the page: its WindowClosing would come from the request that closed the
  // pop-up, handled by now; 1 s more for a late one.
  fRunLoopUntil([] { return false; }, 1000);
  EXPECT_EQ(m_view.iCount("closing"), 0);
}

TEST_F(HtmlView, CancelledNavigationGoesNowhere) {
  vCreate();
  ASSERT_TRUE(fLoad(strPage("frame.html")));
  std::string strTall = strPage("tall.html");
  m_view.m_strCancelUrl = strTall;
  m_view.Navigate2(strTall.c_str());
  ASSERT_TRUE(fRunLoopUntil([&] { return m_view.fHas("before", strTall); }, 5000));
  // Nothing is to follow: a navigation that went on would complete this local page well within
  // 800 ms.
  fRunLoopUntil([] { return false; }, 800);
  EXPECT_FALSE(m_view.fHas("complete", strTall));
  EXPECT_FALSE(m_view.fHas("document", strTall));
  EXPECT_EQ(m_view.iCount("error"), 0);
  EXPECT_EQ(strEval("document.title"), "frame");
}

TEST_F(HtmlView, MouseFilterDropsWhatItRefuses) {
  vCreate();
  ASSERT_TRUE(fLoad(strPage("index.html")));
  m_view.m_bDropRight = TRUE;
  strRunCommand("xdotool mousemove 640 700 click 3 click 1");
  ASSERT_TRUE(fRunLoopUntil([&] { return m_view.m_mouse.size() >= 3; }, 5000));
  EXPECT_EQ(m_view.m_mouse[0], platform::MOUSEMSG_RBUTTONDOWN);
  EXPECT_EQ(m_view.m_mouse[1], platform::MOUSEMSG_RBUTTONUP);
  EXPECT_EQ(m_view.m_mouse[2], platform::MOUSEMSG_LBUTTONDOWN);
  // The page shows "button:presses" from its first press on; the right ones came first.
  std::string strClicks;
  EXPECT_TRUE(txtest::fWaitUntil(
      [&] { return (strClicks = strEval("document.getElementById('clicks').textContent")) != "0"; }, 5000));
  EXPECT_EQ(strClicks, "0:1");  // only the left press got through
  strRunCommand("xdotool click 5");
  EXPECT_TRUE(fRunLoopUntil([&] { return m_view.m_mouse.back() == platform::MOUSEMSG_WHEEL; }, 3000));
}

TEST_F(HtmlView, NoScrollBarsWhenTheHostAsks) {
  m_view.m_uHostFlags = platform::HOSTUI_SCROLL_NO;
  vCreate();
  ASSERT_TRUE(fLoad(strPage("tall.html")));
  EXPECT_EQ(strEval("getComputedStyle(document.documentElement).overflow"), "hidden");
  EXPECT_EQ(strEval("String(window.innerWidth - document.documentElement.clientWidth)"), "0");
}

TEST_F(HtmlView, NoticeFromAnotherClientArrives) {
  vCreate();
  m_view.vSetNoticeAtom("TARVENIX_TEST_NOTICE");
  void* pTarget = m_view.pGetNoticeTarget();
  ASSERT_NE(pTarget, nullptr);
  ASSERT_TRUE(fSendClientMessage(reinterpret_cast<uintptr_t>(pTarget), "TARVENIX_TEST_NOTICE", 1725));
  EXPECT_TRUE(fRunLoopUntil([&] { return !m_view.m_notices.empty(); }, 3000));
  if (!m_view.m_notices.empty()) {
    EXPECT_EQ(m_view.m_notices[0], 1725u);
  }
}

// A view that counts its life's steps and looks at its notice target while it is destroyed.
class CLifeView : public platform::CHtmlView {
 public:
  int m_iCreateResult = 0;
  int m_iCreates = 0, m_iDestroys = 0, m_iNcDestroys = 0;
  void* m_pTargetAtDestroy = nullptr;

 protected:
  int OnCreate() override {
    ++m_iCreates;
    return m_iCreateResult;
  }
  void OnDestroy() override {
    ++m_iDestroys;
    m_pTargetAtDestroy = pGetNoticeTarget();
  }
  void PostNcDestroy() override { ++m_iNcDestroys; }
};

// However the creation fails, the view is destroyed exactly once, PostNcDestroy included, so an
// owner that deletes the view there must not delete it again.
TEST_F(HtmlView, FailedCreationDestroysTheViewOnce) {
  platform::CFrameWindow noWindow;
  CLifeView notPlaced;
  EXPECT_FALSE(notPlaced.fCreate(noWindow));
  EXPECT_EQ(notPlaced.m_iNcDestroys, 1);
  EXPECT_FALSE(notPlaced.fIsWindow());

  CLifeView refused;
  refused.m_iCreateResult = -1;
  EXPECT_FALSE(refused.fCreate(m_frame));
  EXPECT_EQ(refused.m_iCreates, 1);
  EXPECT_EQ(refused.m_iDestroys, 1);
  EXPECT_EQ(refused.m_iNcDestroys, 1);
  EXPECT_FALSE(refused.fIsWindow());
}

// The notice window stays the same until the view is gone: asking for it while the view is
// destroyed opens no new connection to the display (a new one would name another window).
TEST_F(HtmlView, TeardownKeepsTheNoticeTarget) {
  CLifeView view;
  ASSERT_TRUE(view.fCreate(m_frame));
  void* pTarget = view.pGetNoticeTarget();
  ASSERT_NE(pTarget, nullptr);
  EXPECT_EQ(view.pGetNoticeTarget(), pTarget);
  m_frame.vDestroyWindow();
  EXPECT_EQ(view.m_iDestroys, 1);
  EXPECT_EQ(view.m_pTargetAtDestroy, pTarget);
  EXPECT_EQ(view.pGetNoticeTarget(), nullptr);
}

// The detect-mouse hook's exit action reaches the view as its notice 1725.
TEST_F(HtmlView, DetectMouseHookNoticeReachesTheView) {
  vCreate();
  ASSERT_TRUE(fLoad(strPage("frame.html")));
  m_view.vSetNoticeAtom(TXDETECT_NOTICE_ATOM);
  vTarvenixDetectSetPostWindow(m_view.pGetNoticeTarget());
  ASSERT_TRUE(fTarvenixDetectMouseHook(100, 0, 300));
  std::thread hold([] {
    strRunCommand("xdotool mousemove 10 10 mousedown 1");
    usleep(600 * 1000);
    strRunCommand("xdotool mouseup 1");
  });
  EXPECT_TRUE(fRunLoopUntil([&] { return !m_view.m_notices.empty(); }, 5000));
  hold.join();
  vTarvenixDetectMouseUnhook();
  ASSERT_EQ(m_view.m_notices.size(), 1u);
  EXPECT_EQ(m_view.m_notices[0], static_cast<uint32_t>(TXDETECT_NOTICE_MESSAGE));
}

// The page shown full screen really renders, with the GPU switch off and on: a screenshot of the
// whole screen has the page's colours, and the window covers the screen.
class HtmlViewRender : public HtmlView, public ::testing::WithParamInterface<BOOL> {};
TEST_P(HtmlViewRender, FullScreenPageRenders) {
  vCreate(TRUE, GetParam());
  ASSERT_TRUE(fLoad(strPage("index.html")));
  // Full screen and drawn: the window covers the screen and its far corner has the page's colour.
  // Looked at between turns of the loop, which must go on to let the engine's frames through.
  CXGeometry geom;
  txtest::fWaitUntil(
      [&] {
        fRunLoopUntil([] { return false; }, 200);
        geom = geomOfWindow("-name Tarvenix");
        return geom.width == 1280 && geom.height == 800 &&
               strRunCommand("import -window root -crop 1x1+1270+790 -depth 8 txt:- 2>/dev/null").find("#1E5AA8") !=
                   std::string::npos;
      },
      10000, 0);
  EXPECT_EQ(geom.width, 1280);
  EXPECT_EQ(geom.height, 800);
  std::string strShot = std::string(TX_TEST_BINARY_DIR) + "/html_view_fullscreen" + (GetParam() ? "_gpu" : "") + ".png";
  strRunCommand("import -window root " + strShot);
  // The page background (#1e5aa8) at a corner, the iframe's yellow border near its top left.
  std::string strCorner = strRunCommand("convert " + strShot + " -format '%[hex:p{1270,790}]' info:");
  EXPECT_EQ(strCorner.substr(0, 6), "1E5AA8") << strShot;
  std::string strColours = strRunCommand("identify -format %k " + strShot);
  EXPECT_GT(std::atoi(strColours.c_str()), 20) << strShot;
}

INSTANTIATE_TEST_SUITE_P(Gpu, HtmlViewRender, ::testing::Values(FALSE, TRUE),
                         [](const auto& info) { return info.param ? "HardwareAcceleration" : "Software"; });

}  // namespace
