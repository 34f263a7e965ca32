// TXKeyHook (TXKeyHook_64.dll, libTXKeyHook_64.so): keeps from the user the keys a kiosk must not
// obey.
#pragma once

#include "hooks/hook_api.h"

// The keys held back are listed, with the reasons, in hooks/key_policy.h and in the operator's
// guide (docs/OPERATORS.md). A held-back key press is dropped together with its release.
//
// Windows: a WH_KEYBOARD_LL hook, for the whole desktop. Ctrl+Alt+Del and Win+L never reach a
// hook. Linux (GTK 3 on X11, after gtk_init): a GDK event filter on the program's own key events
// (core and XInput2); shortcuts that the window manager, the desktop or the X server take for
// themselves (for example Alt+Tab under a window manager, Ctrl+Alt+Backspace, Ctrl+Alt+F1)
// never reach the program and cannot be held back here.
//
// Call both functions from the program's user-interface thread. Each call writes one line to
// TXHook.log beside the running program.

// Installs the hook. TRUE when it is installed (also when it already was).
TX_HOOK_EXTERN_C TX_HOOK_API BOOL fTXKeyHook(void);

// Removes the hook. Safe without a hook.
TX_HOOK_EXTERN_C TX_HOOK_API void vTXKeyUnhook(void);
