// Tests of the Linux message box with real keys under openbox: Return answers the default
// button (Yes), Escape does not end a Yes/No box, and the box comes up above a top-most frame.
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/frame_window.h"
#include "platform/message_loop.h"
#include "ui_test_util.h"
#include "x_window.h"

namespace {

TEST(MessageBox, ReturnAnswersYesAboveATopMostFrame) {
  CXSession session(true);
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  platform::CFrameWindow frame;
  ASSERT_TRUE(frame.fCreate("Tarvenix", "TarvenixClass", FALSE));
  frame.vFullScreen();
  frame.vSetTopMost(TRUE);
  frame.fForceForeground();
  ASSERT_TRUE(fRunLoopUntil([] { return geomOfWindow("-name Tarvenix").fMapped; }, 5000));
  frame.vSetTopMost(FALSE);  // as the quit question does

  std::atomic<int> iAnswer{-1};
  std::thread worker([&] {
    iAnswer = platform::iMessageBox(nullptr, "終了しますか?", "TxQuestion",
                                    platform::MBS_YESNO | 0x2000 | platform::MBS_SETFOREGROUND | platform::MBS_TOPMOST);
  });
  ASSERT_TRUE(
      fRunLoopUntil([] { return strRunCommand("xdotool getactivewindow getwindowname") == "TxQuestion\n"; }, 5000));
  // The box is stacked above the frame: the last of the root's mapped clients.
  std::string strStack = strRunCommand("xprop -root _NET_CLIENT_LIST_STACKING");
  std::string strBox = strRunCommand("xdotool search --name '^TxQuestion$' | head -n 1");
  long lBox = std::stol(strBox);
  char szBox[32];
  snprintf(szBox, sizeof szBox, "0x%lx", lBox);
  EXPECT_NE(strStack.find(szBox), std::string::npos);
  EXPECT_EQ(strStack.rfind(szBox) + strlen(szBox), strStack.find_last_not_of("\n") + 1) << strStack << szBox;

  strRunCommand("xdotool key Escape");
  // Nothing is to happen: a box that takes Escape answers in the loop turn of the key
  // (EscapeAndTheWayOutOfEachKind); 300 ms are many turns.
  fRunLoopUntil([] { return false; }, 300);
  EXPECT_EQ(iAnswer, -1);  // a Yes/No box has no way out but its buttons
  std::string strActive = strRunCommand("xdotool getactivewindow getwindowname");
  strRunCommand("xdotool key Return");
  EXPECT_TRUE(fRunLoopUntil([&] { return iAnswer != -1; }, 5000)) << strActive;
  if (iAnswer == -1) platform::fEndMessageBox(nullptr, "TxQuestion", platform::MBR_NONE);
  worker.join();
  EXPECT_EQ(iAnswer, platform::MBR_YES);
}

TEST(MessageBox, EscapeAndTheWayOutOfEachKind) {
  CXSession session(true);
  ASSERT_TRUE(session.fOk());
  ASSERT_TRUE(platform::fInitMessageLoop());
  struct {
    unsigned int uStyle;
    int iEscape;  // answer to Escape, -1: the box stays
    int iWayOut;  // fEndMessageBox with MBR_NONE
  } cases[] = {
      {platform::MBS_OK, platform::MBR_OK, platform::MBR_OK},
      {platform::MBS_OKCANCEL, platform::MBR_CANCEL, platform::MBR_CANCEL},
      {platform::MBS_YESNOCANCEL, platform::MBR_CANCEL, platform::MBR_CANCEL},
      {platform::MBS_YESNO, -1, platform::MBR_NO},
  };
  for (const auto& c : cases) {
    std::atomic<int> iAnswer{-1};
    std::thread worker([&] { iAnswer = platform::iMessageBox(nullptr, "text", "TxKinds", c.uStyle); });
    ASSERT_TRUE(
        fRunLoopUntil([] { return strRunCommand("xdotool getactivewindow getwindowname") == "TxKinds\n"; }, 5000));
    strRunCommand("xdotool key Escape");
    // A box that takes Escape answers in the loop turn of the key; one that does not is still
    // open after 500 ms, many such turns.
    fRunLoopUntil([&] { return iAnswer != -1; }, 500);
    EXPECT_EQ(iAnswer, c.iEscape) << c.uStyle;
    if (iAnswer == -1) {
      EXPECT_TRUE(platform::fEndMessageBox(nullptr, "TxKinds", platform::MBR_NONE));
      EXPECT_TRUE(fRunLoopUntil([&] { return iAnswer != -1; }, 3000));
      EXPECT_EQ(iAnswer, c.iWayOut);
    }
    worker.join();
    fRunLoopUntil([] { return strRunCommand("xdotool search --name '^TxKinds$'").empty(); }, 3000);
  }
}

}  // namespace
