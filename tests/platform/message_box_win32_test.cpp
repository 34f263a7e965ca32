// Tests of the Win32 message box under Wine (or Windows): an open box of a worker thread that a
// top-most window has covered since and taken the focus from gets the focus and the keyboard back.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/message_box.h"
#include "ui_test_util.h"

namespace {

// Whether hUpper stands above hLower among the top-level windows.
bool fAbove(HWND hUpper, HWND hLower) {
  for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    if (h == hUpper) return true;
    if (h == hLower) return false;
  }
  return false;
}

void vPressReturn() {
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_RETURN;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

// The quit question's style: Yes/No, task-modal, to the foreground, top-most.
const unsigned int kQuestion = platform::MBS_YESNO | 0x2000 | platform::MBS_SETFOREGROUND | platform::MBS_TOPMOST;

TEST(MessageBoxWin32, BoxCoveredByATopMostWindowGetsTheFocusAndTheKeysBack) {
  ASSERT_TRUE(fPrepareTestUi());
  std::atomic<int> iAnswer{-1};
  std::thread worker([&] { iAnswer = platform::iMessageBox(nullptr, "Quit?", "TxFront", kQuestion); });
  HWND hBox = nullptr;
  ASSERT_TRUE(fRunLoopUntil(
      [&] { return (hBox = FindWindowA("#32770", "TxFront")) != nullptr && GetForegroundWindow() == hBox; }, 10000));
  // A top-most window of this thread raised over the box with the focus, as the kiosk's frame is
  // by the top-most timer's turn after a second request failed.
  HWND hCover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "cover", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 800, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(hCover, nullptr);
  SetWindowPos(hCover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(hCover);
  ASSERT_TRUE(fRunLoopUntil([&] { return fAbove(hCover, hBox) && GetForegroundWindow() == hCover; }, 5000));

  EXPECT_FALSE(platform::fBringMessageBoxToFront(nullptr, "TxOther"));
  EXPECT_TRUE(platform::fBringMessageBoxToFront(nullptr, "TxFront"));
  // The box has the focus again. Where it stands is not looked at: under Wine the X11 driver
  // restacks windows from X events of their own threads' connections, so the box may go above the
  // cover and below it again a moment later, which Windows does not do.
  EXPECT_TRUE(fRunLoopUntil([&] { return GetForegroundWindow() == hBox; }, 5000)) << "the box has not the focus";
  // The keyboard goes to the box: Return answers its default button, Yes.
  vPressReturn();
  fRunLoopUntil([&] { return iAnswer != -1; }, 5000);
  if (iAnswer == -1) platform::fEndMessageBox(nullptr, "TxFront", platform::MBR_NONE);
  worker.join();
  EXPECT_EQ(iAnswer, platform::MBR_YES);
  EXPECT_FALSE(platform::fBringMessageBoxToFront(nullptr, "TxFront"));  // answered: no such box
  DestroyWindow(hCover);
}

}  // namespace
