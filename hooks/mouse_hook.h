// TXMouseHook (TXMouseHook_64.dll, libTXMouseHook_64.so): hides the mouse cursor and holds back
// right clicks for the kiosk.
#pragma once

#include "hooks/hook_api.h"

// Call every function from the program's user-interface thread (the thread that runs the
// window message loop or the GTK main loop); that thread runs the hook too. Every set-up and
// removal call writes one line to TXHook.log beside the running program.
//
// Windows: a WH_MOUSE_LL hook. The cursor is hidden through the calling thread's cursor display
// counter, so it is hidden over every window of that thread (the kiosk window and the page).
// Right-button presses and their releases are dropped for the whole desktop while held back.
// Linux (GTK 3 on X11, after gtk_init): a GDK event filter that sees every X event of the
// program, core and XInput2, before GTK does. The cursor is hidden by giving every GDK window
// of the program a blank cursor, windows shown later included, and keeping it blank when a
// widget or the page asks for another one. Right-button presses and their releases over the
// program's windows are dropped.

// Installs the hook. TRUE when it is installed (also when it already was); FALSE when the
// platform refuses it (Linux: no X11 display opened by GDK).
TX_HOOK_EXTERN_C TX_HOOK_API BOOL fTXMouseHook(void);

// Hides the cursor from now on (no effect without an installed hook).
TX_HOOK_EXTERN_C TX_HOOK_API void vTXStartHideCursor(void);

// Shows the cursor from now on, with the shape each window asked for meanwhile.
TX_HOOK_EXTERN_C TX_HOOK_API void vTXStopHideCursor(void);

// Holds back right-button presses and releases from now on until the hook is removed (no effect
// without an installed hook).
TX_HOOK_EXTERN_C TX_HOOK_API void vTXStopRightClick(void);

// Removes the hook, shows the cursor again and lets right clicks pass. Safe without a hook.
TX_HOOK_EXTERN_C TX_HOOK_API void vTXMouseUnhook(void);
