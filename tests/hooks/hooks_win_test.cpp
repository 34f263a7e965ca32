// The Windows hook libraries loaded at program start, under Wine or Windows: function results,
// the log lines, and what the low-level hooks do with input synthesized by SendInput.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "hooks/detect_mouse_hook.h"
#include "hooks/key_hook.h"
#include "hooks/mouse_hook.h"

namespace {

// TXHook.log beside this program, and the part of it written since Mark.
class CHookLog {
 public:
  CHookLog() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    m_strPath.assign(path, n);
    m_strPath = m_strPath.substr(0, m_strPath.find_last_of("\\/") + 1) + "TXHook.log";
    m_lStart = lSize();
  }
  std::string strSince() const {
    std::string text;
    FILE* fp = std::fopen(m_strPath.c_str(), "rb");
    if (fp == nullptr) return text;
    std::fseek(fp, m_lStart, SEEK_SET);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, fp)) > 0) text.append(buffer, n);
    std::fclose(fp);
    return text;
  }

 private:
  long lSize() const {
    FILE* fp = std::fopen(m_strPath.c_str(), "rb");
    if (fp == nullptr) return 0;
    std::fseek(fp, 0, SEEK_END);
    long size = std::ftell(fp);
    std::fclose(fp);
    return size;
  }
  std::string m_strPath;
  long m_lStart;
};

// Runs the input on a second thread while this thread, which owns the hooks, runs its message
// loop (low-level hooks are called through it), then keeps the loop going for iAfterMs.
void vInputWhilePumping(std::function<void()> input, int iAfterMs = 100) {
  struct Job {
    std::function<void()> fn;
  } job{std::move(input)};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD {
        static_cast<Job*>(p)->fn();
        return 0;
      },
      &job, 0, nullptr);
  ASSERT_NE(nullptr, thread);
  DWORD end = 0;
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (end == 0 && WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) end = GetTickCount() + iAfterMs;
    if (end != 0 && static_cast<LONG>(GetTickCount() - end) >= 0) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  CloseHandle(thread);
}

void vMouse(DWORD dwFlags, LONG lX = 0, LONG lY = 0) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = dwFlags;
  in.mi.dx = lX;
  in.mi.dy = lY;
  SendInput(1, &in, sizeof in);
}

// Moves the pointer to the pixel x,y of the primary screen.
void vMoveTo(int iX, int iY) {
  LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  vMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (iX * 65535 + (w - 1) / 2) / (w - 1),
         (iY * 65535 + (h - 1) / 2) / (h - 1));
}

void vKey(WORD wVk, bool bUp) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = wVk;
  in.ki.dwFlags = bUp ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

// Presses the keys in order and releases them in reverse order.
void vChord(std::initializer_list<WORD> keys) {
  for (WORD k : keys) vKey(k, false);
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) vKey(*it, true);
}

// An observer installed before a hook library's hook: the library's hook runs first, so the
// observer sees only what the library lets through.
std::vector<WPARAM> g_MouseSeen;
std::vector<DWORD> g_KeysSeen;

LRESULT CALLBACK lObserveMouse(int iCode, WPARAM wParam, LPARAM lParam) {
  if (iCode == HC_ACTION && wParam != WM_MOUSEMOVE) g_MouseSeen.push_back(wParam);
  return CallNextHookEx(nullptr, iCode, wParam, lParam);
}

LRESULT CALLBACK lObserveKeys(int iCode, WPARAM wParam, LPARAM lParam) {
  if (iCode == HC_ACTION && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN)) {
    DWORD vk = reinterpret_cast<KBDLLHOOKSTRUCT*>(lParam)->vkCode;
    if (vk != VK_LSHIFT && vk != VK_RSHIFT && vk != VK_LCONTROL && vk != VK_RCONTROL && vk != VK_LMENU &&
        vk != VK_RMENU && vk != VK_SHIFT && vk != VK_CONTROL && vk != VK_MENU) {
      g_KeysSeen.push_back(vk);
    }
  }
  return CallNextHookEx(nullptr, iCode, wParam, lParam);
}

// The calling thread's cursor display counter (the cursor shows while it is 0 or more).
int iCursorCounter() {
  int n = ShowCursor(FALSE);
  ShowCursor(TRUE);
  return n + 1;
}

TEST(HooksWin, FunctionResultsAndLogLines) {
  CHookLog log;
  vTXStopRightClick();  // before the hook: ignored
  ASSERT_EQ(TRUE, fTXMouseHook());
  EXPECT_EQ(TRUE, fTXMouseHook());
  vTXStartHideCursor();
  vTXStopHideCursor();
  vTXStopRightClick();
  vTXMouseUnhook();
  vTXMouseUnhook();

  vTarvenixDetectSetPostWindow(nullptr);
  EXPECT_EQ(FALSE, fTarvenixDetectMouseHook(0, 2, 5000));
  EXPECT_EQ(FALSE, fTarvenixDetectMouseHook(100, 4, 5000));
  EXPECT_EQ(FALSE, fTarvenixDetectMouseHook(100, -1, 5000));
  EXPECT_EQ(FALSE, fTarvenixDetectMouseHook(100, 2, -1));
  EXPECT_EQ(TRUE, fTarvenixDetectMouseHook(100, 2, 5000));
  vTarvenixDetectMouseUnhook();
  vTarvenixDetectMouseUnhook();

  EXPECT_EQ(TRUE, fTXKeyHook());
  vTXKeyUnhook();
  vTXKeyUnhook();

  const char* lines[] = {
      ",TXMouseHook: vTXStopRightClick: ignored, no hook\r\n",
      ",TXMouseHook: fTXMouseHook: installed\r\n",
      ",TXMouseHook: fTXMouseHook: already installed\r\n",
      ",TXMouseHook: vTXStartHideCursor: cursor hidden\r\n",
      ",TXMouseHook: vTXStopHideCursor: cursor shown\r\n",
      ",TXMouseHook: vTXStopRightClick: right clicks held back\r\n",
      ",TXMouseHook: vTXMouseUnhook: removed\r\n",
      ",TXMouseHook: vTXMouseUnhook: no hook\r\n",
      ",TXDetectMouseHook: vTarvenixDetectSetPostWindow: window 0x0\r\n",
      ",TXDetectMouseHook: fTarvenixDetectMouseHook(0, 2, 5000): failed, values out of range\r\n",
      ",TXDetectMouseHook: fTarvenixDetectMouseHook(100, 4, 5000): failed, values out of range\r\n",
      ",TXDetectMouseHook: fTarvenixDetectMouseHook(100, -1, 5000): failed, values out of range\r\n",
      ",TXDetectMouseHook: fTarvenixDetectMouseHook(100, 2, -1): failed, values out of range\r\n",
      ",TXDetectMouseHook: fTarvenixDetectMouseHook(100, 2, 5000): installed\r\n",
      ",TXDetectMouseHook: vTarvenixDetectMouseUnhook: removed\r\n",
      ",TXDetectMouseHook: vTarvenixDetectMouseUnhook: no hook\r\n",
      ",TXKeyHook: fTXKeyHook: installed\r\n",
      ",TXKeyHook: vTXKeyUnhook: removed\r\n",
      ",TXKeyHook: vTXKeyUnhook: no hook\r\n",
  };
  // Every call wrote its line, in call order.
  std::string text = log.strSince();
  size_t at = 0;
  for (const char* line : lines) {
    size_t found = text.find(line, at);
    EXPECT_NE(std::string::npos, found) << line << "after position " << at << " in:\n" << text;
    if (found != std::string::npos) at = found + 1;
  }
}

TEST(HooksWin, CursorCounterOfTheCallingThread) {
  ASSERT_GE(iCursorCounter(), 0);
  vTXStartHideCursor();  // no hook yet: nothing happens
  EXPECT_GE(iCursorCounter(), 0);
  ASSERT_EQ(TRUE, fTXMouseHook());
  vTXStartHideCursor();
  EXPECT_LT(iCursorCounter(), 0);
  vTXStartHideCursor();  // a second call is not counted twice
  vTXStopHideCursor();
  EXPECT_GE(iCursorCounter(), 0);
  vTXStartHideCursor();
  vTXMouseUnhook();
  EXPECT_GE(iCursorCounter(), 0) << "removing the hook shows the cursor";
}

TEST(HooksWin, RightClicksHeldBackAfterStopRightClick) {
  HHOOK observer = SetWindowsHookExA(WH_MOUSE_LL, lObserveMouse, GetModuleHandleA(nullptr), 0);
  ASSERT_NE(nullptr, observer);
  ASSERT_EQ(TRUE, fTXMouseHook());
  auto clicks = [] {
    vMoveTo(300, 300);
    vMouse(MOUSEEVENTF_RIGHTDOWN);
    vMouse(MOUSEEVENTF_RIGHTUP);
    vMouse(MOUSEEVENTF_LEFTDOWN);
    vMouse(MOUSEEVENTF_LEFTUP);
  };
  vInputWhilePumping(clicks);
  std::vector<WPARAM> all = {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP};
  EXPECT_EQ(all, g_MouseSeen) << "the hook alone holds nothing back";

  vTXStopRightClick();
  g_MouseSeen.clear();
  vInputWhilePumping(clicks);
  std::vector<WPARAM> left = {WM_LBUTTONDOWN, WM_LBUTTONUP};
  EXPECT_EQ(left, g_MouseSeen);

  vTXMouseUnhook();
  g_MouseSeen.clear();
  vInputWhilePumping(clicks);
  EXPECT_EQ(all, g_MouseSeen) << "removed";
  UnhookWindowsHookEx(observer);
}

TEST(HooksWin, KioskKeysHeldBackOthersPass) {
  HHOOK observer = SetWindowsHookExA(WH_KEYBOARD_LL, lObserveKeys, GetModuleHandleA(nullptr), 0);
  ASSERT_NE(nullptr, observer);
  auto keys = [] {
    vChord({VK_LWIN});
    vChord({VK_LWIN, 'R'});
    vChord({VK_APPS});
    vChord({VK_SHIFT, VK_F10});
    vChord({VK_MENU, VK_F4});
    vChord({VK_MENU, VK_TAB});
    vChord({VK_CONTROL, VK_ESCAPE});
    vChord({VK_CONTROL, VK_SHIFT, VK_ESCAPE});
    vChord({VK_CONTROL, 'W'});
    vChord({VK_CONTROL, 'P'});
    vChord({VK_F1});
    vChord({'A'});
    vChord({VK_CONTROL, 'C'});
    vChord({VK_CONTROL, VK_MENU, 'Q'});  // AltGr+Q types a character
    vChord({VK_ESCAPE});
    vChord({VK_F5});
  };
  std::vector<DWORD> passed = {'A', 'C', 'Q', VK_ESCAPE, VK_F5};
  std::vector<DWORD> all = {VK_LWIN, VK_LWIN, 'R',   VK_APPS, VK_F10, VK_F4, VK_TAB,    VK_ESCAPE, VK_ESCAPE,
                            'W',     'P',     VK_F1, 'A',     'C',    'Q',   VK_ESCAPE, VK_F5};
  vInputWhilePumping(keys);
  EXPECT_EQ(all, g_KeysSeen) << "every key passes without the hook";

  ASSERT_EQ(TRUE, fTXKeyHook());
  g_KeysSeen.clear();
  vInputWhilePumping(keys);
  EXPECT_EQ(passed, g_KeysSeen);
  vTXKeyUnhook();
  UnhookWindowsHookEx(observer);
}

// A message-only window that counts exit notices.
int g_iNotices = 0;
LRESULT CALLBACK lNoticeProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == TXDETECT_NOTICE_MESSAGE) g_iNotices++;
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

HWND hNoticeWindow() {
  WNDCLASSA cls = {};
  cls.lpfnWndProc = lNoticeProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "TXHookTestNotice";
  RegisterClassA(&cls);
  return CreateWindowA("TXHookTestNotice", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
}

const int kInterval = 800;

// Presses the left button at x,y, holds it for iHoldMs and releases it.
std::function<void()> hold(int iX, int iY, int iHoldMs) {
  return [=] {
    vMoveTo(iX, iY);
    vMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(iHoldMs);
    vMouse(MOUSEEVENTF_LEFTUP);
  };
}

TEST(HooksWin, ExitActionInEachConfiguredCornerPostsOneNotice) {
  CHookLog log;
  HWND window = hNoticeWindow();
  ASSERT_NE(nullptr, window);
  vTarvenixDetectSetPostWindow(window);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  struct Corner {
    int pos, x, y;
  } corners[] = {{0, 3, 3}, {1, w - 4, 3}, {2, 3, h - 4}, {3, w - 4, h - 4}};
  for (const Corner& c : corners) {
    ASSERT_EQ(TRUE, fTarvenixDetectMouseHook(40, c.pos, kInterval));
    g_iNotices = 0;
    vInputWhilePumping(hold(c.x, c.y, 5 * kInterval / 2));
    EXPECT_EQ(1, g_iNotices) << "corner " << c.pos;
  }
  vTarvenixDetectMouseUnhook();
  EXPECT_NE(std::string::npos,
            log.strSince().find(",TXDetectMouseHook: exit action recognised, notice sent to window 0x"))
      << log.strSince();
  DestroyWindow(window);
}

TEST(HooksWin, NoNoticeElsewhereShorterOrAfterLeavingTheSquare) {
  HWND window = hNoticeWindow();
  ASSERT_NE(nullptr, window);
  vTarvenixDetectSetPostWindow(window);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  ASSERT_EQ(TRUE, fTarvenixDetectMouseHook(100, 2, kInterval));
  g_iNotices = 0;
  vInputWhilePumping(hold(w - 4, h - 4, 2 * kInterval));  // another corner
  vInputWhilePumping(hold(w / 2, h / 2, 2 * kInterval));  // the middle
  vInputWhilePumping(hold(105, h - 4, 2 * kInterval));    // beside the square
  vInputWhilePumping(hold(3, h - 4, kInterval / 16));     // too short
  vInputWhilePumping([=] {                                // pressed inside, dragged out and held
    vMoveTo(10, h - 10);
    vMouse(MOUSEEVENTF_LEFTDOWN);
    vMoveTo(300, h - 300);
    Sleep(2 * kInterval);
    vMouse(MOUSEEVENTF_LEFTUP);
  });
  vInputWhilePumping([] {}, kInterval);
  EXPECT_EQ(0, g_iNotices);

  vInputWhilePumping(hold(3, h - 4, 2 * kInterval));
  EXPECT_EQ(1, g_iNotices) << "the full action";
  vTarvenixDetectMouseUnhook();
  vInputWhilePumping(hold(3, h - 4, 2 * kInterval));
  EXPECT_EQ(1, g_iNotices) << "removed hook";
  DestroyWindow(window);
}

}  // namespace
