// Win32 message box: MessageBoxA; a box is found again as a "#32770" window by its caption.
#include "platform/message_box.h"

#include <windows.h>

namespace platform {

int iMessageBox(HWINDOW hOwner, const char* pszText, const char* pszCaption, unsigned int uStyle) {
  return MessageBoxA(static_cast<HWND>(hOwner), pszText ? pszText : "", pszCaption ? pszCaption : "", uStyle);
}

namespace {

// A message box is an owned top-level window, not a child of its owner: walk the top-level
// dialogs with the caption and take the one whose owner matches.
HWND hFindBox(HWINDOW hOwner, const char* pszCaption) {
  HWND hBox = nullptr;
  while ((hBox = FindWindowExA(nullptr, hBox, "#32770", pszCaption ? pszCaption : "")) != nullptr) {
    if (GetWindow(hBox, GW_OWNER) == static_cast<HWND>(hOwner)) break;
  }
  return hBox;
}

}  // namespace

BOOL fBringMessageBoxToFront(HWINDOW hOwner, const char* pszCaption) {
  HWND hBox = hFindBox(hOwner, pszCaption);
  if (hBox == nullptr || !IsWindowVisible(hBox)) return FALSE;
  // To the top of the top-most band, above a frame put there after it; the box's thread (the
  // presenter's worker) gets the foreground, past the foreground lock as the frame does.
  SetWindowPos(hBox, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  DWORD uForeground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  DWORD uThis = GetCurrentThreadId();
  BOOL bAttached = uForeground != 0 && uForeground != uThis && AttachThreadInput(uThis, uForeground, TRUE);
  BOOL bDone = SetForegroundWindow(hBox);
  if (bAttached) AttachThreadInput(uThis, uForeground, FALSE);
  return bDone ? TRUE : FALSE;
}

BOOL fEndMessageBox(HWINDOW hOwner, const char* pszCaption, int iAnswer) {
  HWND hBox = hFindBox(hOwner, pszCaption);
  if (hBox == nullptr) return FALSE;
  int iButton = iAnswer;
  if (iButton == MBR_NONE) {
    iButton = GetDlgItem(hBox, IDCANCEL) ? IDCANCEL : GetDlgItem(hBox, IDNO) ? IDNO : IDOK;
  }
  // A posted command: the box may belong to another thread that is blocked in its own loop.
  return PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(iButton, BN_CLICKED), 0) ? TRUE : FALSE;
}

}  // namespace platform
