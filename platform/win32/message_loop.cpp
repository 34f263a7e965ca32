// Win32 message loop: GetMessage/DispatchMessage; posted closures travel to a message-only window
// of the UI thread, so modal loops (message boxes, menus) run them too.
#include "platform/message_loop.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <vector>

namespace platform {

namespace {

const UINT WM_TX_CLOSURE = WM_APP + 1;
std::atomic<HWND> g_hPostWindow{nullptr};
std::atomic<DWORD> g_uUiThread{0};
std::vector<CMessageFilter*> g_filters;  // UI thread only

// The filters in order until one handles the message. A filter may remove itself (or another)
// while it runs, so the list is walked by a copy.
BOOL fFilterMessage(MSG& msg) {
  std::vector<CMessageFilter*> filters = g_filters;
  for (CMessageFilter* pFilter : filters) {
    if (std::find(g_filters.begin(), g_filters.end(), pFilter) == g_filters.end()) continue;
    if (pFilter->fPreTranslateMessage(&msg)) return TRUE;
  }
  return FALSE;
}

LRESULT CALLBACK lPostWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_TX_CLOSURE) {
    auto* pFn = reinterpret_cast<std::function<void()>*>(lParam);
    (*pFn)();
    delete pFn;
    return 0;
  }
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

}  // namespace

BOOL fInitMessageLoop() {
  if (g_hPostWindow.load() != nullptr) return fIsUiThread();
  WNDCLASSA wc = {};
  wc.lpfnWndProc = lPostWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarvenixPostWindow";
  RegisterClassA(&wc);
  HWND hWnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (hWnd == nullptr) return FALSE;
  g_uUiThread = GetCurrentThreadId();
  g_hPostWindow = hWnd;
  return TRUE;
}

int iRunMessageLoop() {
  if (!fIsUiThread()) return -1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (fFilterMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void vQuitMessageLoop(int iExitCode) {
  if (fIsUiThread())
    PostQuitMessage(iExitCode);
  else
    fPostToUiThread([iExitCode] { PostQuitMessage(iExitCode); });
}

BOOL fPostToUiThread(std::function<void()> fn) {
  HWND hWnd = g_hPostWindow.load();
  if (hWnd == nullptr || !fn) return FALSE;
  auto* pFn = new (std::nothrow) std::function<void()>(std::move(fn));
  if (pFn == nullptr) return FALSE;
  if (!PostMessageA(hWnd, WM_TX_CLOSURE, 0, reinterpret_cast<LPARAM>(pFn))) {
    delete pFn;
    return FALSE;
  }
  return TRUE;
}

BOOL fIsUiThread() { return g_uUiThread.load() != 0 && GetCurrentThreadId() == g_uUiThread.load(); }

BOOL fAddMessageFilter(CMessageFilter* pFilter) {
  if (pFilter == nullptr || !fIsUiThread()) return FALSE;
  if (std::find(g_filters.begin(), g_filters.end(), pFilter) != g_filters.end()) return FALSE;
  g_filters.push_back(pFilter);
  return TRUE;
}

void vRemoveMessageFilter(CMessageFilter* pFilter) {
  g_filters.erase(std::remove(g_filters.begin(), g_filters.end(), pFilter), g_filters.end());
}

}  // namespace platform
