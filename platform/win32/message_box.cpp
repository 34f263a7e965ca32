// Win32 message box: MessageBoxA; a box is found again as a "#32770" window by its caption.
#include "platform/message_box.h"

#include <windows.h>

namespace platform {

int iMessageBox(HWINDOW hOwner, const char* pszText, const char* pszCaption, unsigned int uStyle) {
  return MessageBoxA(static_cast<HWND>(hOwner), pszText ? pszText : "", pszCaption ? pszCaption : "", uStyle);
}

BOOL fEndMessageBox(HWINDOW hOwner, const char* pszCaption, int iAnswer) {
  // A message box is an owned top-level window, not a child of its owner: walk the top-level
  // dialogs with the caption and take the one whose owner matches.
  HWND hBox = nullptr;
  while ((hBox = FindWindowExA(nullptr, hBox, "#32770", pszCaption ? pszCaption : "")) != nullptr) {
    if (GetWindow(hBox, GW_OWNER) == static_cast<HWND>(hOwner)) break;
  }
  if (hBox == nullptr) return FALSE;
  int iButton = iAnswer;
  if (iButton == MBR_NONE) {
    iButton = GetDlgItem(hBox, IDCANCEL) ? IDCANCEL : GetDlgItem(hBox, IDNO) ? IDNO : IDOK;
  }
  // A posted command: the box may belong to another thread that is blocked in its own loop.
  return PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(iButton, BN_CLICKED), 0) ? TRUE : FALSE;
}

}  // namespace platform
