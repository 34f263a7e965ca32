// Message boxes: a text with buttons that blocks the calling thread until the user answers.
#pragma once

#include "platform/types.h"
#include "platform/window_handle.h"

namespace platform {

// Style bits and answers carry the Windows values (MessageBoxA), so styles and answers stored by
// the program mean the same on every platform.
enum : unsigned int {
  MBS_OK = 0x0,
  MBS_OKCANCEL = 0x1,
  MBS_ABORTRETRYIGNORE = 0x2,
  MBS_YESNOCANCEL = 0x3,
  MBS_YESNO = 0x4,
  MBS_RETRYCANCEL = 0x5,
  MBS_BUTTONS = 0xF,
  MBS_ICONSTOP = 0x10,
  MBS_ICONQUESTION = 0x20,
  MBS_ICONWARNING = 0x30,
  MBS_ICONINFORMATION = 0x40,
  MBS_ICONS = 0xF0,
  MBS_DEFBUTTONS = 0xF00,  // 0x000 first button, 0x100 second, 0x200 third
  MBS_SETFOREGROUND = 0x10000,
  MBS_TOPMOST = 0x40000,
};
enum : int {
  MBR_NONE = 0,  // no box could be shown
  MBR_OK = 1,
  MBR_CANCEL = 2,
  MBR_ABORT = 3,
  MBR_RETRY = 4,
  MBR_IGNORE = 5,
  MBR_YES = 6,
  MBR_NO = 7,
};

// Shows a box with the text and caption, owned by hOwner (null: none; an owner is disabled while
// its box is up) and blocks until it is answered; returns the answer, MBR_NONE when no box could
// be shown. The default button is the first (OK or Yes: Return answers it) unless the style
// says otherwise; Escape answers Cancel where there is one, OK on an OK-only box, and nothing on
// a Yes/No box. MBS_TOPMOST keeps the box above other windows, MBS_SETFOREGROUND brings it to
// the front. Any thread may call it.
// Windows: MessageBoxA on the calling thread. Linux: a GTK dialog run by the UI loop
// (platform/message_loop.h); a calling worker thread waits for the answer while the loop runs,
// a call on the UI thread runs the loop nested until the answer.
int iMessageBox(HWINDOW hOwner, const char* pszText, const char* pszCaption, unsigned int uStyle);

// Brings the open box of this owner and caption above every other window and gives it the input
// focus, as when it was shown (a top-most window raised since may have covered it). UI thread
// (Linux: the box lives on the UI loop). False when no such box is on the screen.
BOOL fBringMessageBoxToFront(HWINDOW hOwner, const char* pszCaption);

// Ends the open box of this owner and caption as if a button was pressed: iAnswer's button, or
// for MBR_NONE the box's own way out (Cancel, else No, else OK). Any thread. False when no such
// box is open. The waiting iMessageBox returns that answer.
BOOL fEndMessageBox(HWINDOW hOwner, const char* pszCaption, int iAnswer);

}  // namespace platform
