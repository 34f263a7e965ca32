// TXDetectMouseHook on Windows: a WH_MOUSE_LL hook feeds CDetectAction, a thread timer checks the
// hold, and the notice is posted to the registered window.
#include "hooks/detect_mouse_hook.h"

#include <windows.h>

#include "hooks/detect_action.h"
#include "hooks/hook_log.h"
#include "hooks/win32/hook_module.h"

namespace {

struct CDetectHookState {
  HHOOK m_hHook = nullptr;
  HWND m_hPost = nullptr;
  CDetectAction m_Action;
  UINT_PTR m_uTimer = 0;
};
CDetectHookState g_Detect;

// The primary screen in the hook's (physical, for a DPI-aware program) coordinates.
CDetectScreen screenPrimary() {
  return CDetectScreen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void vSendNotice() {
  if (g_Detect.m_hPost == nullptr) {
    vHookLog("TXDetectMouseHook: exit action recognised, no window to notify\n");
  } else if (PostMessageA(g_Detect.m_hPost, TXDETECT_NOTICE_MESSAGE, 0, 0)) {
    vHookLog("TXDetectMouseHook: exit action recognised, notice sent to window 0x%llx\n",
             static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(g_Detect.m_hPost)));
  } else {
    vHookLog("TXDetectMouseHook: exit action recognised, notice to window 0x%llx failed, error %lu\n",
             static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(g_Detect.m_hPost)), GetLastError());
  }
}

void vStopTimer() {
  if (g_Detect.m_uTimer != 0) KillTimer(nullptr, g_Detect.m_uTimer);
  g_Detect.m_uTimer = 0;
}

void CALLBACK vOnTimer(HWND, UINT, UINT_PTR, DWORD);

void vStartTimer() {
  vStopTimer();
  UINT delay = g_Detect.m_Action.uRemaining(GetTickCount());
  g_Detect.m_uTimer = SetTimer(nullptr, 0, delay > 0 ? delay : 1, vOnTimer);
}

// A thread timer (it runs in the message loop of the thread that installed the hook).
void CALLBACK vOnTimer(HWND, UINT, UINT_PTR, DWORD) {
  vStopTimer();
  POINT pt;
  if (GetCursorPos(&pt)) g_Detect.m_Action.vMove(pt.x, pt.y);
  if (g_Detect.m_Action.fDue(GetTickCount())) {
    vSendNotice();
  } else if (g_Detect.m_Action.fRunning() && g_Detect.m_Action.uRemaining(GetTickCount()) > 0) {
    vStartTimer();
  }
}

LRESULT CALLBACK lMouseProc(int iCode, WPARAM wParam, LPARAM lParam) {
  if (iCode == HC_ACTION) {
    const MSLLHOOKSTRUCT* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    switch (wParam) {
      case WM_LBUTTONDOWN:
        if (g_Detect.m_Action.fPress(info->pt.x, info->pt.y, screenPrimary(), GetTickCount())) {
          vStartTimer();
        } else {
          vStopTimer();
        }
        break;
      case WM_MOUSEMOVE:
        if (g_Detect.m_Action.fRunning()) {
          g_Detect.m_Action.vMove(info->pt.x, info->pt.y);
          if (!g_Detect.m_Action.fRunning()) vStopTimer();
        }
        break;
      case WM_LBUTTONUP:
        g_Detect.m_Action.vRelease();
        vStopTimer();
        break;
      default: break;
    }
  }
  return CallNextHookEx(g_Detect.m_hHook, iCode, wParam, lParam);
}

}  // namespace

void vTarvenixDetectSetPostWindow(void* hWnd) {
  g_Detect.m_hPost = static_cast<HWND>(hWnd);
  vHookLog("TXDetectMouseHook: vTarvenixDetectSetPostWindow: window 0x%llx\n",
           static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hWnd)));
}

BOOL fTarvenixDetectMouseHook(int DetectSize, int DetectPos, int DetectInterval) {
  CDetectAction check;
  if (!check.fConfigure(DetectSize, DetectPos, DetectInterval)) {
    vHookLog("TXDetectMouseHook: fTarvenixDetectMouseHook(%d, %d, %d): failed, values out of range\n", DetectSize,
             DetectPos, DetectInterval);
    return FALSE;
  }
  if (g_Detect.m_hHook == nullptr) {
    g_Detect.m_hHook =
        SetWindowsHookExA(WH_MOUSE_LL, lMouseProc, hGetHookModule((const void*)&fTarvenixDetectMouseHook), 0);
    if (g_Detect.m_hHook == nullptr) {
      vHookLog("TXDetectMouseHook: fTarvenixDetectMouseHook(%d, %d, %d): failed, error %lu\n", DetectSize, DetectPos,
               DetectInterval, GetLastError());
      return FALSE;
    }
  }
  vStopTimer();
  g_Detect.m_Action.fConfigure(DetectSize, DetectPos, DetectInterval);
  vHookLog("TXDetectMouseHook: fTarvenixDetectMouseHook(%d, %d, %d): installed\n", DetectSize, DetectPos,
           DetectInterval);
  return TRUE;
}

void vTarvenixDetectMouseUnhook(void) {
  if (g_Detect.m_hHook == nullptr) {
    vHookLog("TXDetectMouseHook: vTarvenixDetectMouseUnhook: no hook\n");
    return;
  }
  UnhookWindowsHookEx(g_Detect.m_hHook);
  g_Detect.m_hHook = nullptr;
  vStopTimer();
  g_Detect.m_Action.vRelease();
  vHookLog("TXDetectMouseHook: vTarvenixDetectMouseUnhook: removed\n");
}
