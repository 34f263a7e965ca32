// TXDetectMouseHook (TXDetectMouseHook_64.dll, libTXDetectMouseHook_64.so): recognises the
// operator's exit action and sends the exit notice to the registered window.
#pragma once

#include "hooks/hook_api.h"

// The exit notice. Windows: PostMessage(window, TXDETECT_NOTICE_MESSAGE, 0, 0). Linux: an X11
// ClientMessage sent to the window id, message_type the atom named TXDETECT_NOTICE_ATOM,
// format 32, data.l[0] = TXDETECT_NOTICE_MESSAGE; the program turns it into the notice on its
// user-interface thread.
#define TXDETECT_NOTICE_MESSAGE 1725
#define TXDETECT_NOTICE_ATOM "TARVENIX_WM_DETECT_MOUSE"

// The exit action: the primary mouse button (or a first touch) is pressed inside the square of
// DetectSize x DetectSize pixels at a corner of the (primary) screen and held there, without
// leaving the square, for DetectInterval milliseconds. One notice per action: the button must
// be released before the next one. Corners by DetectPos: 0 top left, 1 top right, 2 bottom left,
// 3 bottom right. The whole screen is watched, whatever window lies under the pointer.
//
// Call every function from the program's user-interface thread; the hook runs there too.
// Set-up and removal calls and each recognised action write one line to TXHook.log beside the
// running program.

// Registers the window that receives the notice: the HWND on Windows; on Linux the X11 window
// id (XID) of the view's window, cast to a pointer. Null: actions are logged, nothing is sent.
TX_HOOK_EXTERN_C TX_HOOK_API void vTarvenixDetectSetPostWindow(void* hWnd);

// Installs the hook for the exit action described by the three values (a second call replaces
// them). FALSE, and nothing installed or changed, when DetectSize is below 1, DetectPos is not
// 0 to 3, DetectInterval is negative, or the platform refuses the hook (Linux: no X11 display
// opened by GDK, or no XInput 2 on the server).
TX_HOOK_EXTERN_C TX_HOOK_API BOOL fTarvenixDetectMouseHook(int DetectSize, int DetectPos, int DetectInterval);

// Removes the hook; an action in progress is dropped. Safe without a hook.
TX_HOOK_EXTERN_C TX_HOOK_API void vTarvenixDetectMouseUnhook(void);
