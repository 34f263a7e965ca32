// Tests of the frame window on a private X display: geometry, decorations, timers, close and
// session end, the menu and the keyboard.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <signal.h>

#include <unistd.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/frame_window.h"
#include "platform/message_loop.h"
#include "ui_test_util.h"
#include "x_window.h"

namespace {

class CTestFrame : public platform::CFrameWindow {
 public:
  std::vector<unsigned int> m_timers;
  std::vector<unsigned int> m_commands;
  int m_iCloses = 0, m_iEndSessions = 0, m_iDestroys = 0, m_iCreateResult = 0;
  std::function<void(unsigned int)> m_onTimer;

 protected:
  int OnCreate() override { return m_iCreateResult; }
  void OnTimer(unsigned int uId) override {
    m_timers.push_back(uId);
    if (m_onTimer) m_onTimer(uId);
  }
  void OnClose() override {
    ++m_iCloses;
    CFrameWindow::OnClose();
  }
  void OnEndSession(BOOL bEnding) override {
    ++m_iEndSessions;
    CFrameWindow::OnEndSession(bEnding);
  }
  void OnDestroy() override { ++m_iDestroys; }
  BOOL OnCommand(unsigned int uCommand) override {
    m_commands.push_back(uCommand);
    return FALSE;
  }
};

// Whether one of the program's pop-up windows (a menu) is shown.
bool fMenuOpen() {
  GList* pList = gtk_window_list_toplevels();
  bool bOpen = false;
  for (GList* p = pList; p; p = p->next)
    if (gtk_window_get_window_type(GTK_WINDOW(p->data)) == GTK_WINDOW_POPUP &&
        gtk_widget_get_visible(GTK_WIDGET(p->data)))
      bOpen = true;
  g_list_free(pList);
  return bOpen;
}

class FrameWindow : public ::testing::TestWithParam<bool> {};

// Full screen covers the whole screen, without caption, border or menu, with and without a
// window manager; the window is found by its name and its class.
TEST_P(FrameWindow, FullScreenCoversTheScreen) {
  CXSession session(GetParam());
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  CTestFrame frame;
  frame.vAddMenuPopup("ファイル(&F)");
  frame.vAddMenuItem("アプリケーションの終了(&X)", platform::FRAME_CMD_EXIT);
  ASSERT_TRUE(frame.fCreate("Tarvenix", "TarvenixClass"));
  frame.vShow();
  fRunLoopUntil([] { return geomOfWindow("-name Tarvenix").fMapped; }, 5000);
  frame.vFullScreen();
  frame.vSetTopMost(TRUE);
  frame.fForceForeground();
  CXGeometry geom;
  EXPECT_TRUE(fRunLoopUntil(
      [&] {
        geom = geomOfWindow("-name Tarvenix");
        return geom.x == 0 && geom.y == 0 && geom.width == 1280 && geom.height == 800;
      },
      5000))
      << geom.x << "," << geom.y << " " << geom.width << "x" << geom.height;
  std::string strIds = strRunCommand("xdotool search --classname TarvenixClass");
  EXPECT_FALSE(strIds.empty());
  EXPECT_NE(strRunCommand("xprop -name Tarvenix WM_CLASS").find("\"TarvenixClass\", \"TarvenixClass\""),
            std::string::npos);
  if (GetParam()) {
    // openbox draws no frame around it and treats it as full screen and above the others.
    std::string strState = strRunCommand("xprop -name Tarvenix _NET_WM_STATE _NET_FRAME_EXTENTS");
    EXPECT_NE(strState.find("_NET_WM_STATE_FULLSCREEN"), std::string::npos) << strState;
    EXPECT_NE(strState.find("_NET_WM_STATE_ABOVE"), std::string::npos) << strState;
    EXPECT_NE(strState.find("_NET_FRAME_EXTENTS(CARDINAL) = 0, 0, 0, 0"), std::string::npos) << strState;
    // and the window has the input focus.
    std::string strActive = strRunCommand("xdotool getactivewindow getwindowname");
    EXPECT_EQ(strActive, "Tarvenix\n");
  }
  frame.vDestroyWindow();
  EXPECT_EQ(frame.m_iDestroys, 1);
}

// With caption the window keeps its decorations and menu: under openbox its frame has extents.
TEST_P(FrameWindow, CaptionStaysWithoutFullScreen) {
  CXSession session(GetParam());
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  CTestFrame frame;
  ASSERT_TRUE(frame.fCreate("Tarvenix", "TarvenixClass"));
  frame.vShow();
  ASSERT_TRUE(fRunLoopUntil([] { return geomOfWindow("-name Tarvenix").fMapped; }, 5000));
  if (GetParam()) {
    std::string strExtents;
    EXPECT_TRUE(fRunLoopUntil(
        [&] {
          strExtents = strRunCommand("xprop -name Tarvenix _NET_FRAME_EXTENTS");
          return strExtents.find("= ") != std::string::npos && strExtents.find("= 0, 0, 0, 0") == std::string::npos;
        },
        3000))
        << strExtents;
  }
  CXGeometry geom = geomOfWindow("-name Tarvenix");
  EXPECT_LT(geom.width, 1280);
}

INSTANTIATE_TEST_SUITE_P(WindowManager, FrameWindow, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Openbox" : "NoWindowManager"; });

// Timers repeat until killed, a timer set again replaces the running one, ids are kept apart.
TEST(FrameTimers, RepeatUntilKilledAndKeepTheirIds) {
  CXSession session(false);
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  CTestFrame frame;
  ASSERT_TRUE(frame.fCreate("Tarvenix", "TarvenixClass", FALSE));
  const uint32_t uStart = platform::uGetTickMs();
  EXPECT_EQ(frame.uSetTimer(0, 10), 0u);
  EXPECT_EQ(frame.uSetTimer(1, 30), 1u);
  EXPECT_EQ(frame.uSetTimer(2, 1000), 2u);
  EXPECT_EQ(frame.uSetTimer(2, 50), 2u);  // replaces the 1000 ms one
  int iOnes = 0, iTwos = 0;
  uint32_t uSixTwos = 0;
  frame.m_onTimer = [&](unsigned int uId) {
    if (uId == 1 && ++iOnes == 3) frame.fKillTimer(1);
    if (uId == 2 && ++iTwos == 6) uSixTwos = platform::uGetTickMs() - uStart;
  };
  // Six turns of timer 2 take 300 ms at its 50 ms, long enough for timer 1 to go on past its
  // third turn if it were not killed; a timer never comes early, so the six took that long.
  ASSERT_TRUE(fRunLoopUntil([&] { return iTwos >= 6; }, 5000)) << "timer 2 came " << iTwos << " times";
  EXPECT_EQ(iOnes, 3);
  EXPECT_GE(uSixTwos, 290u) << "timer 2 runs faster than 50 ms";
  for (unsigned int uId : frame.m_timers) EXPECT_NE(uId, 0u);
  EXPECT_TRUE(frame.fKillTimer(2));
  EXPECT_FALSE(frame.fKillTimer(2));
  size_t uCount = frame.m_timers.size();
  // Nothing is to come: 200 ms are four periods of the slower of the killed timers.
  fRunLoopUntil([] { return false; }, 200);
  EXPECT_EQ(frame.m_timers.size(), uCount);
}

// A timer handler that kills and sets its own timer again (the main frame's keeper) goes on.
TEST(FrameTimers, HandlerMayRestartItsOwnTimer) {
  CXSession session(false);
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  CTestFrame frame;
  ASSERT_TRUE(frame.fCreate("Tarvenix", "TarvenixClass", FALSE));
  frame.m_onTimer = [&](unsigned int uId) {
    frame.fKillTimer(uId);
    frame.uSetTimer(uId, 20);
  };
  frame.uSetTimer(3, 20);
  EXPECT_TRUE(fRunLoopUntil([&] { return frame.m_timers.size() >= 5; }, 2000));
}

// OnCreate returning -1 fails the creation and leaves no window.
TEST(FrameLife, FailedOnCreateLeavesNoWindow) {
  CXSession session(false);
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  CTestFrame frame;
  frame.m_iCreateResult = -1;
  EXPECT_FALSE(frame.fCreate("Tarvenix", "TarvenixClass", FALSE));
  EXPECT_FALSE(frame.fIsWindow());
  EXPECT_EQ(frame.m_iDestroys, 1);
}

// A close posted from another thread runs OnClose on the UI thread; the main window's
// destruction ends the loop.
TEST(FrameLife, CloseFromAnotherThreadEndsTheLoop) {
  CXSession session(false);
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  CTestFrame frame;
  ASSERT_TRUE(frame.fCreate("Tarvenix", "TarvenixClass"));
  std::atomic<bool> bOnUiThread{false};
  frame.m_onTimer = [&](unsigned int) { bOnUiThread = platform::fIsUiThread(); };
  std::thread worker([&] {
    EXPECT_FALSE(platform::fIsUiThread());
    EXPECT_TRUE(frame.fPostClose());
  });
  worker.join();
  EXPECT_EQ(platform::iRunMessageLoop(), 0);
  EXPECT_EQ(frame.m_iCloses, 1);
  EXPECT_FALSE(frame.fIsWindow());
  EXPECT_FALSE(frame.fPostClose());
}

// Closes posted from another thread while the UI thread destroys the window: each is either
// queued before the window goes (and reaches it) or refused; nothing of the window is shared
// with the posting thread (the sanitizer trees see any data race here).
TEST(FrameLife, ClosesPostedWhileTheWindowGoes) {
  CXSession session(false);
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  for (int iRound = 0; iRound < 20; ++iRound) {
    CTestFrame frame;
    ASSERT_TRUE(frame.fCreate("Tarvenix", "TarvenixClass", FALSE));
    std::atomic<bool> bStop{false};
    std::atomic<int> iPosted{0};
    std::thread worker([&] {
      while (!bStop) iPosted += frame.fPostClose() ? 1 : 0;
    });
    while (iPosted.load() == 0) std::this_thread::yield();
    frame.vDestroyWindow();
    bStop = true;
    worker.join();
    EXPECT_FALSE(frame.fPostClose());
    fRunLoopUntil([] { return false; }, 20);  // the closes already queued find no window
    EXPECT_EQ(frame.m_iCloses, 0);
  }
}

// SIGTERM and SIGHUP end the session: OnEndSession on the UI thread, then the close.
class FrameSignal : public ::testing::TestWithParam<int> {};
TEST_P(FrameSignal, EndsTheSession) {
  CXSession session(false);
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  CTestFrame frame;
  ASSERT_TRUE(frame.fCreate("Tarvenix", "TarvenixClass"));
  frame.vShow();
  // Sent from inside the running loop, as a session end comes to a running program.
  const int iSignal = GetParam();
  platform::fPostToUiThread([iSignal] { kill(getpid(), iSignal); });
  platform::iRunMessageLoop();  // ends with the main window
  EXPECT_EQ(frame.m_iEndSessions, 1);
  EXPECT_EQ(frame.m_iCloses, 1);
  EXPECT_FALSE(frame.fIsWindow());
}
INSTANTIATE_TEST_SUITE_P(Signals, FrameSignal, ::testing::Values(SIGTERM, SIGHUP),
                         [](const auto& info) { return info.param == SIGTERM ? "Sigterm" : "Sighup"; });

// The keyboard never opens the menu (F10, Alt, Alt+F); a click on the menu bar does, and its
// exit entry closes the window.
TEST(FrameMenu, KeyboardNeverOpensItTheMouseDoes) {
  CXSession session(true);
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  CTestFrame frame;
  frame.vAddMenuPopup("ファイル(&F)");
  frame.vAddMenuItem("アプリケーションの終了(&X)", platform::FRAME_CMD_EXIT);
  frame.vAddMenuPopup("ヘルプ(&H)");
  frame.vAddMenuItem("バージョン情報 Tarvenix(&A)...", platform::FRAME_CMD_ABOUT);
  ASSERT_TRUE(frame.fCreate("Tarvenix", "TarvenixClass"));
  frame.vShow();
  frame.fForceForeground();
  ASSERT_TRUE(
      fRunLoopUntil([] { return strRunCommand("xdotool getactivewindow getwindowname") == "Tarvenix\n"; }, 5000));
  for (const char* pszKeys : {"F10", "alt", "alt+f", "alt+h"}) {
    strRunCommand(std::string("xdotool key ") + pszKeys);
    // GTK shows a menu in the loop turn that handles the key; 400 ms are many idle turns.
    EXPECT_FALSE(fRunLoopUntil(fMenuOpen, 400)) << pszKeys;
  }
  std::string strWindow = strRunCommand("xdotool search --name '^Tarvenix$' | head -n 1");
  strWindow.erase(strWindow.find_last_not_of("\n") + 1);
  strRunCommand("xdotool mousemove --window " + strWindow + " 20 10 click 1");
  EXPECT_TRUE(fRunLoopUntil(fMenuOpen, 3000));
  strRunCommand("xdotool key Down Return");
  fRunLoopUntil([&] { return !frame.fIsWindow(); }, 3000);  // the loop also ends with the main window
  EXPECT_FALSE(frame.fIsWindow());
  EXPECT_EQ(frame.m_commands, std::vector<unsigned int>{platform::FRAME_CMD_EXIT});
  EXPECT_EQ(frame.m_iCloses, 1);
}

// The About command shows its dialog above the frame; Return closes it and the frame stays.
TEST(FrameMenu, AboutDialogFromTheHelpMenu) {
  CXSession session(true);
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  CTestFrame frame;
  frame.vAddMenuPopup("ファイル(&F)");
  frame.vAddMenuItem("アプリケーションの終了(&X)", platform::FRAME_CMD_EXIT);
  frame.vAddMenuPopup("ヘルプ(&H)");
  frame.vAddMenuItem("バージョン情報 Tarvenix(&A)...", platform::FRAME_CMD_ABOUT);
  frame.vSetAboutText("バージョン情報 Tarvenix", "Tarvenix, Version 1.0");
  ASSERT_TRUE(frame.fCreate("Tarvenix", "TarvenixClass"));
  frame.vShow();
  frame.fForceForeground();
  ASSERT_TRUE(
      fRunLoopUntil([] { return strRunCommand("xdotool getactivewindow getwindowname") == "Tarvenix\n"; }, 5000));
  std::string strWindow = strRunCommand("xdotool search --name '^Tarvenix$' | head -n 1");
  strWindow.erase(strWindow.find_last_not_of("\n") + 1);
  strRunCommand("xdotool mousemove --window " + strWindow + " 20 10 click 1");
  ASSERT_TRUE(fRunLoopUntil(fMenuOpen, 3000)) << "the menu did not open";
  // The dialog runs modally inside the command; a helper thread watches and answers it.
  std::atomic<bool> bSeen{false}, bGone{false};
  std::thread watcher([&] {
    for (int i = 0; i < 250 && !bSeen; ++i) {
      bSeen = strRunCommand("xdotool getactivewindow getwindowname") == "バージョン情報 Tarvenix\n";
      if (!bSeen) usleep(20000);
    }
    strRunCommand("xdotool key Return");
    for (int i = 0; i < 250 && !bGone; ++i) {
      bGone = strRunCommand("xdotool search --name 'バージョン情報'").empty();
      if (!bGone) usleep(20000);
    }
  });
  strRunCommand("xdotool key Right Down Return");
  fRunLoopUntil([&] { return bGone.load(); }, 8000);
  watcher.join();
  EXPECT_TRUE(bSeen);
  EXPECT_TRUE(bGone);
  EXPECT_EQ(frame.m_commands, std::vector<unsigned int>{platform::FRAME_CMD_ABOUT});
  EXPECT_TRUE(frame.fIsWindow());
  EXPECT_EQ(frame.m_iCloses, 0);
}

// The user's own close (Alt+F4 through the window manager) reaches OnClose.
TEST(FrameLife, WindowManagerCloseRunsOnClose) {
  CXSession session(true);
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  CTestFrame frame;
  ASSERT_TRUE(frame.fCreate("Tarvenix", "TarvenixClass"));
  frame.vShow();
  frame.fForceForeground();
  ASSERT_TRUE(
      fRunLoopUntil([] { return strRunCommand("xdotool getactivewindow getwindowname") == "Tarvenix\n"; }, 5000));
  strRunCommand("xdotool key alt+F4");
  fRunLoopUntil([&] { return !frame.fIsWindow(); }, 3000);
  EXPECT_EQ(frame.m_iCloses, 1);
  EXPECT_FALSE(frame.fIsWindow());
}

}  // namespace
