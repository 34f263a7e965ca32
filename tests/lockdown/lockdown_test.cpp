// The kiosk's lockdown seen from outside: the real Tarvenix on its own X server, real mouse input
// (XTEST through xdotool), and what the page, the screen, the access log and TXHook.log show.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/lockdown/kiosk_session.h"

namespace {

// Where the counter page has its controls (pages/counters.html).
const char* const kCountButton = "250 160";
const char* const kPopupButton = "650 160";
const char* const kBlankLink = "1050 160";
const char* const kPageMiddle = "640 500";

const char* const kRightRefused = "ユーザーによる右クリック->無視\n";
const char* const kClick = "ユーザーによるクリック\n";
const char* const kWheelRefused = "ユーザーによるホイール->無視\n";
const char* const kNewWindowRefused = "新規ウィンドウ->無視\n";

class Lockdown : public ::testing::Test {
 protected:
  void vStart(const std::vector<std::string>& settings) {
    ASSERT_TRUE(m_pKiosk->fStart("counters.html", settings)) << m_pKiosk->m_strError;
  }
  // Box A: clicks, contextmenu events, right-button mousedowns the page has seen.
  CPixel seen() { return m_pKiosk->pagePixel(10, 10); }
  // Box B: wheel events, scrollY (capped at 255), innerWidth - clientWidth.
  CPixel scroll() { return m_pKiosk->pagePixel(30, 10); }
  // Box C: innerWidth, high and low byte.
  int iInnerWidth() {
    CPixel c = m_pKiosk->pagePixel(50, 10);
    return c.r * 256 + c.g;
  }
  // Clicks the page's counter button and waits for the page to count it: all input sent before
  // has then reached the page, or been held back.
  void vBarrier(int iClicks) {
    ASSERT_TRUE(m_pKiosk->fXdo(std::string("mousemove ") + kCountButton + " click 1"));
    ASSERT_TRUE(fWaitUntil([&] { return seen().r == iClicks; }, 10000)) << "the page did not count click " << iClicks;
    ASSERT_TRUE(m_pKiosk->fXdo(std::string("mousemove ") + kPageMiddle));
  }

  std::unique_ptr<CKioskSession> m_pKiosk = std::make_unique<CKioskSession>();
};

TEST_F(Lockdown, RightClickIsHeldBackAndLoggedWhileLeftClicksWork) {
  ASSERT_NO_FATAL_FAILURE(vStart({"RightButton=1"}));
  const int before = m_pKiosk->iViewableTopLevels();
  ASSERT_TRUE(m_pKiosk->fXdo(std::string("mousemove ") + kPageMiddle + " click 3"));
  usleep(300 * 1000);  // apart, so that the two are two clicks and not a double click
  ASSERT_TRUE(m_pKiosk->fXdo("click 3"));
  vBarrier(1);
  // The engine asks for its context menu while it handles the press, before the barrier's click,
  // and on the same channel as the page's later drawing: a menu would be open by now.
  EXPECT_EQ(before, m_pKiosk->iViewableTopLevels()) << "a context menu opened";
  CPixel page = seen();
  EXPECT_EQ(0, page.g) << "the page's contextmenu handler saw the right click";
  EXPECT_EQ(0, page.b) << "the page's mousedown handler saw the right button";
  EXPECT_EQ(2, m_pKiosk->iAccessLines(kRightRefused)) << m_pKiosk->strAccessLog();
  EXPECT_EQ(1, m_pKiosk->iAccessLines(kClick)) << m_pKiosk->strAccessLog();
  EXPECT_NE(std::string::npos, m_pKiosk->strHookLog().find("TXMouseHook: vTXStopRightClick: right clicks held back\n"));
}

// Clicks are logged as the Windows message stream has them: a double click is a press and a
// double click (two lines), a triple click adds a press (three); a click elsewhere is a press.
TEST_F(Lockdown, DoubleAndTripleClicksAreLoggedAsWindowsSendsThem) {
  ASSERT_NO_FATAL_FAILURE(vStart({}));
  ASSERT_TRUE(m_pKiosk->fXdo(std::string("mousemove ") + kPageMiddle + " click --repeat 2 --delay 80 1"));
  vBarrier(1);
  EXPECT_EQ(3, m_pKiosk->iAccessLines(kClick)) << m_pKiosk->strAccessLog();
  ASSERT_TRUE(m_pKiosk->fXdo(std::string("mousemove ") + kPageMiddle + " click --repeat 3 --delay 80 1"));
  vBarrier(2);
  EXPECT_EQ(7, m_pKiosk->iAccessLines(kClick)) << m_pKiosk->strAccessLog();
}

TEST_F(Lockdown, RightClickReachesThePageWhenAllowed) {
  ASSERT_NO_FATAL_FAILURE(vStart({"RightButton=0"}));
  const int before = m_pKiosk->iViewableTopLevels();
  ASSERT_TRUE(m_pKiosk->fXdo(std::string("mousemove ") + kPageMiddle + " click 3"));
  EXPECT_TRUE(fWaitUntil([&] { return seen().g == 1 && seen().b == 1; }, 10000))
      << "the page saw " << seen().g << " contextmenu and " << seen().b << " right mousedown events";
  EXPECT_TRUE(fWaitUntil([&] { return m_pKiosk->iViewableTopLevels() > before; }, 5000)) << "no context menu opened";
  EXPECT_EQ(0, m_pKiosk->iAccessLines(kRightRefused));
  EXPECT_EQ(std::string::npos, m_pKiosk->strHookLog().find("vTXStopRightClick"));
}

TEST_F(Lockdown, WheelTurnsAreDroppedWithAndWithoutCtrl) {
  // Scroll=0 leaves the page scrollable, so only the wheel rule can keep it still.
  ASSERT_NO_FATAL_FAILURE(vStart({"GestureZoomOff=1", "Scroll=0"}));
  const int width = iInnerWidth();
  ASSERT_TRUE(m_pKiosk->fXdo("click 5 click 5 click 5"));
  ASSERT_TRUE(m_pKiosk->fXdo("keydown ctrl click 4 click 4 click 5 keyup ctrl"));
  vBarrier(1);
  CPixel wheel = scroll();
  EXPECT_EQ(0, wheel.r) << "the page saw wheel events";
  EXPECT_EQ(0, wheel.g) << "the page scrolled";
  EXPECT_EQ(width, iInnerWidth()) << "the page zoomed";
  // Every turn arrives as a smooth-scroll event and, for older clients, as a discrete one.
  EXPECT_GE(m_pKiosk->iAccessLines(kWheelRefused), 6) << m_pKiosk->strAccessLog();
}

TEST_F(Lockdown, WheelScrollsThePageWhenAllowed) {
  ASSERT_NO_FATAL_FAILURE(vStart({"GestureZoomOff=0", "Scroll=0"}));
  ASSERT_TRUE(m_pKiosk->fXdo("click 5 click 5 click 5"));
  EXPECT_TRUE(fWaitUntil([&] { return scroll().r > 0 && scroll().g > 0; }, 10000))
      << "wheel events seen " << scroll().r << ", scrollY " << scroll().g;
  EXPECT_EQ(0, m_pKiosk->iAccessLines(kWheelRefused));
}

TEST_F(Lockdown, ScrollSettingHidesScrollBarsAndKeepsTheTopDocumentStill) {
  struct Case {
    const char* pszScroll;
    bool bBars;
  } cases[] = {{"Scroll=1", false}, {"Scroll=0", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszScroll);
    m_pKiosk = std::make_unique<CKioskSession>();  // the previous run is stopped and removed
    CKioskSession& kiosk = *m_pKiosk;
    ASSERT_NO_FATAL_FAILURE(vStart({c.pszScroll, "GestureZoomOff=0"}));
    // The page is a vertical gradient: a scroll bar at the right edge breaks the row's colour.
    // Overlay scroll bars show while the pointer is near them.
    ASSERT_TRUE(kiosk.fXdo("mousemove 1270 400 sleep 0.2 mousemove 1276 420"));
    CPixel edge, inside;
    auto fBar = [&] {
      edge = kiosk.pixel(1274, 300);
      inside = kiosk.pixel(1100, 300);
      return edge.r != inside.r || edge.g != inside.g || edge.b != inside.b || scroll().b > 0;
    };
    // A bar fades in within a few hundred ms of the pointer coming near; without bars the wait
    // runs out, 2 s being well past that fade.
    EXPECT_EQ(c.bBars, fWaitUntil(fBar, 2000))
        << "edge " << edge.r << "," << edge.g << "," << edge.b << " inside " << inside.r << "," << inside.g << ","
        << inside.b << " layout bar width " << scroll().b;
    ASSERT_TRUE(kiosk.fXdo("click 5 click 5 click 5"));
    EXPECT_TRUE(fWaitUntil([&] { return scroll().r > 0; }, 10000)) << "the page saw no wheel";
    // The page has seen the wheel: a scrollable document moves within its smooth scroll (a few
    // hundred ms); a still one must not have moved 1 s later.
    EXPECT_EQ(c.bBars, fWaitUntil([&] { return scroll().g > 0; }, 1000)) << "scrollY " << scroll().g;
  }
}

TEST_F(Lockdown, NewWindowsAreRefusedAndLogged) {
  ASSERT_NO_FATAL_FAILURE(vStart({"NewWindow=1"}));
  ASSERT_EQ(1u, m_pKiosk->visibleWindows().size());
  ASSERT_TRUE(m_pKiosk->fXdo(std::string("mousemove ") + kPopupButton + " click 1"));
  ASSERT_TRUE(m_pKiosk->fXdo(std::string("mousemove ") + kBlankLink + " click 1"));
  EXPECT_TRUE(fWaitUntil([&] { return m_pKiosk->iAccessLines(kNewWindowRefused) == 2; }, 10000))
      << m_pKiosk->strAccessLog();
  vBarrier(1);
  // Nothing is to open: an allowed pop-up is made while its request is handled, before the
  // barrier, and shows within a few hundred ms (PopUpOpensInAWindowOfItsOwnWhenAllowed); 1 s more.
  usleep(1000 * 1000);
  EXPECT_EQ(1u, m_pKiosk->visibleWindows().size()) << "a window opened";
}

// A pop-up allowed opens in a window of its own that belongs to the kiosk's frame: it stays above
// the frame while the top-most timer raises the frame (no window manager here), and it keeps the
// kiosk's lockdown: its file field (the top half of pages/popup.html) opens no file chooser.
TEST_F(Lockdown, PopUpOpensInAWindowOfItsOwnUnderTheLockdownWhenAllowed) {
  for (const char* setting : {"TopMostLevel=2", "TopMostLevel=0"}) {
    SCOPED_TRACE(setting);
    m_pKiosk = std::make_unique<CKioskSession>();  // the previous run is stopped and removed
    CKioskSession& kiosk = *m_pKiosk;
    ASSERT_NO_FATAL_FAILURE(vStart({"NewWindow=0", setting}));
    std::vector<unsigned long> main = kiosk.visibleWindows();
    ASSERT_EQ(1u, main.size());
    ASSERT_TRUE(kiosk.fXdo(std::string("mousemove ") + kPopupButton + " click 1"));
    std::vector<unsigned long> windows;
    ASSERT_TRUE(fWaitUntil([&] { return (windows = kiosk.visibleWindows()).size() == 2; }, 15000));
    EXPECT_EQ(0, kiosk.iAccessLines(kNewWindowRefused));
    unsigned long popup = windows[0] == main[0] ? windows[1] : windows[0];
    CWindowPlace place = kiosk.place(popup);
    EXPECT_EQ(main[0], place.ulTransientFor);
    // The page turns its lower half green once it has drawn and once more when the field is
    // clicked; the frame is raised every 800 ms meanwhile with TopMostLevel 0.
    auto lower = [&] { return kiosk.pixel(place.iX + place.iWidth / 2, place.iY + place.iHeight * 3 / 4); };
    ASSERT_TRUE(fWaitUntil([&] { return lower().g == 128; }, 10000)) << "the pop-up's page is not seen";
    usleep(1000 * 1000);
    ASSERT_EQ(128, lower().g) << "the pop-up went below the frame";
    ASSERT_TRUE(kiosk.fXdo("mousemove " + std::to_string(place.iX + place.iWidth / 2) + " " +
                           std::to_string(place.iY + place.iHeight / 4) + " click 1"));
    ASSERT_TRUE(fWaitUntil([&] { return lower().g == 255; }, 10000)) << "the click did not reach the field";
    usleep(1500 * 1000);  // a chooser shows within a few hundred ms of the click
    int iWindows = 0;     // the field's tooltip places itself and does not count
    for (unsigned long window : kiosk.visibleWindows()) iWindows += !kiosk.place(window).bOverrideRedirect;
    EXPECT_EQ(2, iWindows) << "a file chooser opened";
  }
}

TEST_F(Lockdown, MouseOnShowsOrHidesTheCursorOverTheKiosk) {
  for (const char* setting : {"MouseOn=0", "MouseOn=1"}) {
    SCOPED_TRACE(setting);
    m_pKiosk = std::make_unique<CKioskSession>();  // the previous run is stopped and removed
    CKioskSession& kiosk = *m_pKiosk;
    ASSERT_NO_FATAL_FAILURE(vStart({setting}));
    ASSERT_TRUE(kiosk.fXdo("mousemove 600 450 mousemove 610 460"));
    bool hidden = std::string(setting) == "MouseOn=0";
    EXPECT_TRUE(fWaitUntil([&] { return (kiosk.iCursorPixels() == 0) == hidden; }, 5000))
        << "cursor pixels " << kiosk.iCursorPixels();
    std::string line = hidden ? "TXMouseHook: vTXStartHideCursor" : "TXMouseHook: vTXStopHideCursor";
    EXPECT_NE(std::string::npos, kiosk.strHookLog().find(line)) << kiosk.strHookLog();
  }
}

// The exit action: press and hold the primary button inside the DetectSize square of the corner.
class ExitAction : public Lockdown {
 protected:
  void vHold(int iX, int iY, int iMs) {
    ASSERT_TRUE(m_pKiosk->fXdo("mousemove " + std::to_string(iX) + " " + std::to_string(iY) + " mousedown 1"));
    usleep(static_cast<useconds_t>(iMs) * 1000);
    ASSERT_TRUE(m_pKiosk->fXdo("mouseup 1 mousemove 640 500"));
  }
  // The question follows the recognised hold within a few loop turns; the tests that expect none
  // wait 1 s or more after the hold has ended.
  bool fQuestionShown(int iTimeoutMs) {
    return fWaitUntil([&] { return m_pKiosk->visibleWindows().size() > 1; }, iTimeoutMs);
  }
};

TEST_F(ExitAction, HoldInTheConfiguredCornerAsksTheQuestionOnce) {
  // Bottom right, 100 pixels, one second.
  ASSERT_NO_FATAL_FAILURE(vStart({"FullScreen=1", "DetectPos=3", "DetectSize=100", "DetectInterval=1000"}));
  vHold(20, 780, 1600);  // bottom left: the default corner, not this one
  EXPECT_FALSE(fQuestionShown(1000)) << "asked for a hold in another corner";
  vHold(1260, 780, 300);  // too short
  EXPECT_FALSE(fQuestionShown(1000)) << "asked for a short press";
  vHold(1100, 780, 1600);  // just outside the square
  EXPECT_FALSE(fQuestionShown(1000)) << "asked for a hold outside the square";
  EXPECT_EQ(std::string::npos, m_pKiosk->strHookLog().find("exit action recognised"));

  vHold(1260, 780, 1600);
  ASSERT_TRUE(fQuestionShown(5000)) << m_pKiosk->strHookLog();
  std::vector<unsigned long> windows = m_pKiosk->visibleWindows();
  EXPECT_EQ(2u, windows.size());
  for (unsigned long window : windows) EXPECT_EQ("Tarvenix", m_pKiosk->strWindowName(window));
  // A second action while the question is open starts no second question: the program takes the
  // notice and logs that it could not ask.
  vHold(1260, 780, 1600);
  EXPECT_TRUE(
      fWaitUntil([&] { return m_pKiosk->strMonthLog().find("メッセージ表示に失敗(0)\n") != std::string::npos; }, 5000))
      << m_pKiosk->strMonthLog();
  EXPECT_EQ(2u, m_pKiosk->visibleWindows().size());
  std::string log = m_pKiosk->strHookLog();
  EXPECT_NE(std::string::npos, log.find("fTarvenixDetectMouseHook(100, 3, 1000): installed")) << log;
  size_t first = log.find("exit action recognised");
  EXPECT_NE(std::string::npos, first) << log;
  EXPECT_NE(std::string::npos, log.find("exit action recognised", first + 1)) << "the second notice was not sent\n"
                                                                              << log;
}

TEST_F(ExitAction, NotWatchedWithoutFullScreen) {
  ASSERT_NO_FATAL_FAILURE(vStart({"FullScreen=0", "DetectPos=3", "DetectSize=100", "DetectInterval=1000"}));
  vHold(1260, 780, 1600);
  EXPECT_FALSE(fQuestionShown(1500));
  ASSERT_TRUE(m_pKiosk->fStop());
  std::string log = m_pKiosk->strHookLog();
  EXPECT_NE(std::string::npos, log.find("TXMouseHook: vTXMouseUnhook: removed")) << "the program did not shut down\n"
                                                                                 << log;
  EXPECT_EQ(std::string::npos, log.find("TXDetectMouseHook")) << log;
}

TEST_F(ExitAction, FullScreenSetsUpAndRemovesTheDetectHook) {
  ASSERT_NO_FATAL_FAILURE(vStart({"FullScreen=1"}));
  ASSERT_TRUE(m_pKiosk->fStop());
  std::string log = m_pKiosk->strHookLog();
  EXPECT_NE(std::string::npos, log.find("TXDetectMouseHook: fTarvenixDetectMouseHook(100, 2, 5000): installed")) << log;
  EXPECT_NE(std::string::npos, log.find("TXDetectMouseHook: vTarvenixDetectMouseUnhook: removed")) << log;
}

}  // namespace
