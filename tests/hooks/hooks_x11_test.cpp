// The Linux hook libraries inside a GTK program on a private X server, driven with real input
// (XTEST through xdotool): right clicks, the cursor, the exit action and the keyboard.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "hooks/detect_mouse_hook.h"
#include "hooks/key_hook.h"
#include "hooks/mouse_hook.h"
#include "probe_session.h"

namespace {

class HooksX11 : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_Session.fStart()) << m_Session.m_strError; }

  // A left click in the middle of the window: once GTK reports it, every input sent before it
  // has been seen by the program (or held back).
  void vBarrier() {
    size_t from = m_Session.m_Seen.size();
    ASSERT_TRUE(m_Session.fXdo("mousemove 640 400 click 1"));
    ASSERT_TRUE(m_Session.fWaitFor("BUTTON 1", 5000));
    m_uBarrier = from;
  }

  // Waits until the shown cursor is (or is not) blank.
  bool fCursorBlank(bool bBlank) {
    for (int i = 0; i < 100; ++i) {
      int pixels = m_Session.iCursorPixels();
      if ((pixels == 0) == bBlank) return true;
      usleep(20000);
    }
    return false;
  }

  // Holds the primary button at x,y for iHoldMs, then releases it.
  void vHold(int iX, int iY, int iHoldMs) {
    ASSERT_TRUE(m_Session.fXdo("mousemove " + std::to_string(iX) + " " + std::to_string(iY) + " mousedown 1"));
    usleep(static_cast<useconds_t>(iHoldMs) * 1000);
    ASSERT_TRUE(m_Session.fXdo("mouseup 1"));
  }

  // Waits until the shown cursor has the fingerprint.
  bool fCursorIs(const std::string& strPrint) {
    for (int i = 0; i < 100; ++i) {
      if (m_Session.strCursorPrint() == strPrint) return true;
      usleep(20000);
    }
    return false;
  }

  CProbeSession m_Session;
  size_t m_uBarrier = 0;
};

TEST_F(HooksX11, RightClickPassesUntilHeldBackAndAgainAfterRemoval) {
  // Without a hook the call changes nothing; right clicks reach GTK.
  ASSERT_TRUE(m_Session.fCommand("stopright"));
  ASSERT_TRUE(m_Session.fXdo("mousemove 600 300 click 3"));
  ASSERT_TRUE(m_Session.fWaitFor("BUTTON 3", 5000));

  ASSERT_TRUE(m_Session.fCommand("mouse"));
  EXPECT_EQ("RESULT mouse 1", m_Session.m_Seen.back());
  ASSERT_TRUE(m_Session.fXdo("mousemove 600 300 click 3"));
  ASSERT_TRUE(m_Session.fWaitFor("BUTTON 3", 5000)) << "installing alone holds nothing back";

  ASSERT_TRUE(m_Session.fCommand("stopright"));
  size_t from = m_Session.m_Seen.size();
  ASSERT_TRUE(m_Session.fXdo("mousemove 600 300 click 3 click 3 mousedown 3"));
  ASSERT_TRUE(m_Session.fXdo("mouseup 3"));
  vBarrier();
  EXPECT_EQ(0, m_Session.iCount("BUTTON 3", from));
  EXPECT_EQ(1, m_Session.iCount("BUTTON 1", from)) << "left clicks pass";

  ASSERT_TRUE(m_Session.fCommand("unmouse"));
  ASSERT_TRUE(m_Session.fXdo("mousemove 600 300 click 3"));
  EXPECT_TRUE(m_Session.fWaitFor("BUTTON 3", 5000)) << "right clicks pass again after removal";

  std::string log = m_Session.strHookLog();
  for (const char* line :
       {"TXMouseHook: vTXStopRightClick: ignored, no hook\n", "TXMouseHook: fTXMouseHook: installed\n",
        "TXMouseHook: vTXStopRightClick: right clicks held back\n", "TXMouseHook: vTXMouseUnhook: removed\n"}) {
    EXPECT_NE(std::string::npos, log.find(line)) << line << "in:\n" << log;
  }
}

TEST_F(HooksX11, CursorHiddenOverEveryWindowAndShownAgain) {
  // The page area's own cursors, as the server shows them.
  ASSERT_TRUE(m_Session.fCommand("cursor left_ptr"));
  ASSERT_TRUE(m_Session.fXdo("mousemove 650 410"));
  usleep(200000);
  const std::string arrow = m_Session.strCursorPrint();
  ASSERT_TRUE(m_Session.fCommand("cursor hand2"));
  usleep(200000);
  const std::string hand = m_Session.strCursorPrint();
  ASSERT_NE(arrow, hand);
  ASSERT_GT(m_Session.iCursorPixels(), 0);

  ASSERT_TRUE(m_Session.fCommand("mouse"));
  ASSERT_TRUE(m_Session.fCommand("hide"));
  EXPECT_TRUE(fCursorBlank(true));

  // The page asks for another cursor (the pointer stays still), and a window appears later:
  // both stay blank.
  ASSERT_TRUE(m_Session.fCommand("cursor left_ptr"));
  usleep(200000);
  EXPECT_EQ(0, m_Session.iCursorPixels()) << "a cursor asked for by the page while hidden";
  ASSERT_TRUE(m_Session.fCommand("second"));
  ASSERT_TRUE(m_Session.fXdo("mousemove 300 300 mousemove 310 310"));
  EXPECT_TRUE(fCursorBlank(true)) << "a window shown after the cursor was hidden";

  // Shown again: the page area has the cursor it asked for last.
  ASSERT_TRUE(m_Session.fCommand("show"));
  ASSERT_TRUE(m_Session.fXdo("mousemove 650 410"));
  EXPECT_TRUE(fCursorIs(arrow)) << "the page's own cursor is back";

  ASSERT_TRUE(m_Session.fCommand("hide"));
  EXPECT_TRUE(fCursorBlank(true));
  ASSERT_TRUE(m_Session.fCommand("unmouse"));
  EXPECT_TRUE(fCursorIs(arrow)) << "removing the hook shows the cursor";

  std::string log = m_Session.strHookLog();
  EXPECT_NE(std::string::npos, log.find("TXMouseHook: vTXStartHideCursor: cursor hidden\n")) << log;
  EXPECT_NE(std::string::npos, log.find("TXMouseHook: vTXStopHideCursor: cursor shown\n")) << log;
}

// Hold times keep a wide margin from the interval, as the machine may be busy.
const int kInterval = 1000;

TEST_F(HooksX11, ExitActionInEachConfiguredCornerSendsOneNotice) {
  ASSERT_TRUE(m_Session.fCommand("post"));
  struct Corner {
    int pos, x, y;
  } corners[] = {{0, 5, 5}, {1, 1274, 5}, {2, 5, 794}, {3, 1274, 794}};
  for (const Corner& c : corners) {
    ASSERT_TRUE(m_Session.fCommand("detect 50 " + std::to_string(c.pos) + " " + std::to_string(kInterval)));
    EXPECT_EQ("RESULT detect 1", m_Session.m_Seen.back());
    size_t from = m_Session.m_Seen.size();
    // Held for three intervals: one notice, not three.
    vHold(c.x, c.y, 3 * kInterval);
    m_Session.vDrain(300);
    EXPECT_EQ(1, m_Session.iCount("NOTICE 1725 " + std::to_string(m_Session.m_ulWindow), from)) << "corner " << c.pos;
  }
  std::string log = m_Session.strHookLog();
  EXPECT_NE(std::string::npos, log.find("TXDetectMouseHook: fTarvenixDetectMouseHook(50, 3, 1000): installed\n"));
  EXPECT_EQ(4u, [&] {
    size_t n = 0;
    for (size_t at = 0; (at = log.find("exit action recognised, notice sent", at)) != std::string::npos; ++at) n++;
    return n;
  }()) << log;
}

TEST_F(HooksX11, NoNoticeElsewhereShorterOrAfterLeavingTheSquare) {
  ASSERT_TRUE(m_Session.fCommand("post"));
  ASSERT_TRUE(m_Session.fCommand("detect 100 2 " + std::to_string(kInterval)));
  size_t from = m_Session.m_Seen.size();
  vHold(1270, 790, 2 * kInterval);  // another corner
  vHold(640, 400, 2 * kInterval);   // the middle
  vHold(105, 700, 2 * kInterval);   // just beside the square
  vHold(5, 795, kInterval / 10);    // too short
  // Pressed in the square, then dragged out of it and held there.
  ASSERT_TRUE(m_Session.fXdo("mousemove 20 780 mousedown 1 mousemove 300 500"));
  usleep(2 * kInterval * 1000);
  ASSERT_TRUE(m_Session.fXdo("mouseup 1"));
  m_Session.vDrain(kInterval);
  EXPECT_EQ(0, m_Session.iCount("NOTICE", from)) << "nothing but the full action notifies";

  // The same hook still works, then no longer after its removal.
  vHold(5, 795, 2 * kInterval);
  m_Session.vDrain(300);
  EXPECT_EQ(1, m_Session.iCount("NOTICE", from));
  ASSERT_TRUE(m_Session.fCommand("undetect"));
  vHold(5, 795, 2 * kInterval);
  m_Session.vDrain(300);
  EXPECT_EQ(1, m_Session.iCount("NOTICE", from)) << "removed hook";

  ASSERT_TRUE(m_Session.fCommand("detect 0 2 1000"));
  EXPECT_EQ("RESULT detect 0", m_Session.m_Seen.back());
  ASSERT_TRUE(m_Session.fCommand("detect 100 4 1000"));
  EXPECT_EQ("RESULT detect 0", m_Session.m_Seen.back());
  std::string log = m_Session.strHookLog();
  EXPECT_NE(std::string::npos, log.find("TXDetectMouseHook: vTarvenixDetectMouseUnhook: removed\n")) << log;
  EXPECT_NE(std::string::npos,
            log.find("TXDetectMouseHook: fTarvenixDetectMouseHook(100, 4, 1000): failed, values out of range\n"))
      << log;
}

// The keys GTK reported from index iFrom on, without Shift, Ctrl and Alt themselves (they are
// never held back and come with every combination).
std::vector<std::string> keysSeen(const CProbeSession& session, size_t iFrom) {
  std::vector<std::string> keys;
  for (size_t i = iFrom; i < session.m_Seen.size(); ++i) {
    const std::string& line = session.m_Seen[i];
    if (line.compare(0, 4, "KEY ") != 0) continue;
    if (line.find("Shift_") == 4 || line.find("Control_") == 4 || line.find("Alt_") == 4) continue;
    keys.push_back(line.substr(4, line.rfind(' ') - 4));
  }
  return keys;
}

// Presses the keystrokes held back, then the ones that pass, and checks what GTK saw; then the
// same after the hook's removal.
void vCheckKeys(CProbeSession& session, const std::string& strHeld, const std::vector<std::string>& all) {
  // Without the hook all of them reach GTK (so the test can see them held back later).
  size_t from = session.m_Seen.size();
  ASSERT_TRUE(session.fXdo("key " + strHeld + " z"));
  ASSERT_TRUE(session.fWaitFor("KEY z", 5000));
  EXPECT_EQ(all, keysSeen(session, from)) << "every keystroke reaches GTK without the hook";

  ASSERT_TRUE(session.fCommand("key"));
  EXPECT_EQ("RESULT key 1", session.m_Seen.back());
  from = session.m_Seen.size();
  ASSERT_TRUE(session.fXdo("key " + strHeld + " a ctrl+c Escape Tab shift+Tab F5 z"));
  ASSERT_TRUE(session.fWaitFor("KEY z", 5000));
  std::vector<std::string> passed = {"a", "c", "Escape", "Tab", "ISO_Left_Tab", "F5", "z"};
  EXPECT_EQ(passed, keysSeen(session, from));

  ASSERT_TRUE(session.fCommand("unkey"));
  from = session.m_Seen.size();
  ASSERT_TRUE(session.fXdo("key ctrl+w z"));
  ASSERT_TRUE(session.fWaitFor("KEY z", 5000));
  EXPECT_EQ(1, session.iCount("KEY w 4", from)) << "keys pass again after removal";
  std::string log = session.strHookLog();
  EXPECT_NE(std::string::npos, log.find("TXKeyHook: fTXKeyHook: installed\n")) << log;
  EXPECT_NE(std::string::npos, log.find("TXKeyHook: vTXKeyUnhook: removed\n")) << log;
}

TEST_F(HooksX11, KioskKeysHeldBackOthersPass) {
  ASSERT_TRUE(m_Session.fXdo("windowfocus --sync " + std::to_string(m_Session.m_ulWindow)));
  vCheckKeys(m_Session,
             "Super_L Menu shift+F10 F10 alt+F4 alt+Tab alt+space ctrl+Escape ctrl+w ctrl+q ctrl+n ctrl+p "
             "ctrl+shift+i ctrl+shift+d F12 F1 super+r",
             {"Super_L", "Menu", "F10", "F10", "F4", "Tab", "space", "Escape", "w", "q", "n", "p", "I", "D", "F12",
              "F1", "Super_L", "r", "z"});
}

// Under a window manager, which gives the focus, the keys it does not take for itself are held
// back the same way (its own bindings, such as Alt+Tab, never reach the program).
TEST(HooksX11WindowManager, KioskKeysHeldBackUnderOpenbox) {
  CProbeSession session;
  ASSERT_TRUE(session.fStart(true)) << session.m_strError;
  ASSERT_TRUE(session.fXdo("windowactivate --sync " + std::to_string(session.m_ulWindow)));
  vCheckKeys(session, "Menu shift+F10 F10 ctrl+w ctrl+q ctrl+p ctrl+shift+i F12 F1",
             {"Menu", "F10", "F10", "w", "q", "p", "I", "F12", "F1", "z"});
}

// Without a display opened by GDK (this test program never starts GTK) nothing can be hooked:
// each set-up call says so in its result and in the log.
TEST(HooksWithoutDisplay, SetUpFailsAndSaysWhy) {
  EXPECT_EQ(FALSE, fTXMouseHook());
  EXPECT_EQ(FALSE, fTarvenixDetectMouseHook(100, 2, 5000));
  EXPECT_EQ(FALSE, fTXKeyHook());
  vTXStartHideCursor();
  vTXMouseUnhook();
  vTarvenixDetectMouseUnhook();
  vTXKeyUnhook();
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  ASSERT_GT(n, 0);
  std::string path(exe, static_cast<size_t>(n));
  std::ifstream logFile(path.substr(0, path.rfind('/')) + "/TXHook.log");
  std::stringstream text;
  text << logFile.rdbuf();
  std::string log = text.str();
  for (const char* line : {"TXMouseHook: fTXMouseHook: failed, no X11 display\n",
                           "TXDetectMouseHook: fTarvenixDetectMouseHook(100, 2, 5000): failed, no X11 display with "
                           "XInput 2\n",
                           "TXKeyHook: fTXKeyHook: failed, no X11 display\n"}) {
    EXPECT_NE(std::string::npos, log.find(line)) << line;
  }
}

}  // namespace
