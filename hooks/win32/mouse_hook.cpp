// TXMouseHook on Windows: a WH_MOUSE_LL hook that drops right clicks, and the calling thread's
// cursor display counter for hiding the cursor.
#include "hooks/mouse_hook.h"

#include <windows.h>

#include "hooks/hook_log.h"
#include "hooks/win32/hook_module.h"

namespace {

struct CMouseHookState {
  HHOOK m_hHook = nullptr;
  BOOL m_bStopRightClick = FALSE;
  BOOL m_bRightHeld = FALSE;  // the press was dropped, so its release is dropped too
  int m_iHidden = 0;          // ShowCursor(FALSE) calls made to hide the cursor
};
CMouseHookState g_Mouse;

LRESULT CALLBACK lMouseProc(int iCode, WPARAM wParam, LPARAM lParam) {
  if (iCode == HC_ACTION) {
    if (wParam == WM_RBUTTONDOWN && g_Mouse.m_bStopRightClick) {
      g_Mouse.m_bRightHeld = TRUE;
      return 1;
    }
    if (wParam == WM_RBUTTONUP && g_Mouse.m_bRightHeld) {
      g_Mouse.m_bRightHeld = FALSE;
      return 1;
    }
  }
  return CallNextHookEx(g_Mouse.m_hHook, iCode, wParam, lParam);
}

// Brings the thread's display counter below 0 (hidden) and remembers how far it went.
void vHide() {
  if (g_Mouse.m_iHidden > 0) return;
  while (ShowCursor(FALSE) >= 0) g_Mouse.m_iHidden++;
  g_Mouse.m_iHidden++;
}

void vShow() {
  for (; g_Mouse.m_iHidden > 0; g_Mouse.m_iHidden--) ShowCursor(TRUE);
}

}  // namespace

BOOL fTXMouseHook(void) {
  if (g_Mouse.m_hHook != nullptr) {
    vHookLog("TXMouseHook: fTXMouseHook: already installed\n");
    return TRUE;
  }
  g_Mouse.m_hHook = SetWindowsHookExA(WH_MOUSE_LL, lMouseProc, hGetHookModule((const void*)&fTXMouseHook), 0);
  if (g_Mouse.m_hHook == nullptr) {
    vHookLog("TXMouseHook: fTXMouseHook: failed, error %lu\n", GetLastError());
    return FALSE;
  }
  g_Mouse.m_bStopRightClick = FALSE;
  g_Mouse.m_bRightHeld = FALSE;
  vHookLog("TXMouseHook: fTXMouseHook: installed\n");
  return TRUE;
}

void vTXStartHideCursor(void) {
  if (g_Mouse.m_hHook == nullptr) {
    vHookLog("TXMouseHook: vTXStartHideCursor: ignored, no hook\n");
    return;
  }
  vHide();
  vHookLog("TXMouseHook: vTXStartHideCursor: cursor hidden\n");
}

void vTXStopHideCursor(void) {
  if (g_Mouse.m_hHook == nullptr) {
    vHookLog("TXMouseHook: vTXStopHideCursor: ignored, no hook\n");
    return;
  }
  vShow();
  vHookLog("TXMouseHook: vTXStopHideCursor: cursor shown\n");
}

void vTXStopRightClick(void) {
  if (g_Mouse.m_hHook == nullptr) {
    vHookLog("TXMouseHook: vTXStopRightClick: ignored, no hook\n");
    return;
  }
  g_Mouse.m_bStopRightClick = TRUE;
  vHookLog("TXMouseHook: vTXStopRightClick: right clicks held back\n");
}

void vTXMouseUnhook(void) {
  if (g_Mouse.m_hHook == nullptr) {
    vHookLog("TXMouseHook: vTXMouseUnhook: no hook\n");
    return;
  }
  UnhookWindowsHookEx(g_Mouse.m_hHook);
  g_Mouse.m_hHook = nullptr;
  vShow();
  g_Mouse.m_bStopRightClick = FALSE;
  g_Mouse.m_bRightHeld = FALSE;
  vHookLog("TXMouseHook: vTXMouseUnhook: removed\n");
}
