// The kiosk's key policy: which keystrokes the keyboard hook keeps from the user.
#pragma once

#include "platform/types.h"

// Keys the policy tells apart, in a form both platforms map their own key codes to. Letters are
// their upper-case ASCII codes ('A' to 'Z'); function keys HK_F1 + n - 1.
enum {
  HK_OTHER = 0,
  HK_TAB = 0x09,
  HK_ESCAPE = 0x1B,
  HK_SPACE = 0x20,
  HK_F1 = 0x100,        // HK_F1 .. HK_F1 + 23 are F1 .. F24
  HK_SUPER = 0x200,     // the left or right Windows / Super key
  HK_MENU = 0x201,      // the application (context-menu) key
  HK_MODIFIER = 0x202,  // Shift, Ctrl, Alt, AltGr and the like: never held back
};

// Modifier bits held while a key is pressed.
enum { HK_SHIFT = 1, HK_CTRL = 2, HK_ALT = 4, HK_WIN = 8 };

// TRUE when the keystroke must not reach the program or the desktop:
// - the Super / Windows key itself and every key pressed with it (Start menu, desktop shell
//   shortcuts);
// - Alt+Tab and Alt+Esc (with Shift or Ctrl too), Ctrl+Esc, Alt+F4, Alt+Space (switching away, closing the
//   window, the window menu), Ctrl+Shift+Esc (Task Manager);
// - the menu key and Shift+F10 (the page's context menu), F10 alone (menu bar and window menu);
// - F1 (help window), F12, Ctrl+Shift+I, Ctrl+Shift+J and Ctrl+Shift+D (developer and inspector
//   windows);
// - Ctrl+N, Ctrl+O, Ctrl+P, Ctrl+S, Ctrl+L, Ctrl+F (new window and the open, print, save and find
//   dialogs), Ctrl+W, Ctrl+Q, Ctrl+F4 (closing).
// Ctrl combinations count only without Alt, since Ctrl+Alt is AltGr on many keyboards and types
// characters. Everything else passes, Alt alone included (input method switching needs it).
BOOL fHoldBackKey(int iKey, int iModifiers);
