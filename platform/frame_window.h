// A top-level frame window: menu bar, one child view filling the client area, timers, close.
#pragma once

#include <memory>
#include <string>

#include "platform/types.h"
#include "platform/window_handle.h"

namespace platform {

// Command numbers the frame handles by itself when OnCommand leaves them (the framework's own).
enum : unsigned int { FRAME_CMD_ABOUT = 57664, FRAME_CMD_EXIT = 57665 };

// The frame's life, all on the UI thread (platform/message_loop.h) unless a call says otherwise:
//   fCreate      makes the native window (hidden), the menu bar built so far, then OnCreate;
//                OnCreate returning -1 destroys the window again and fCreate returns false.
//   vShow...     shows it; style, top-most and foreground calls work from then on.
//   OnClose      runs for the system close (close box, Alt+F4), vPostClose and the exit command;
//                its default destroys the window.
//   OnEndSession runs when the session ends (Linux: SIGTERM, SIGHUP or SIGINT; Windows:
//                WM_ENDSESSION); its default calls OnClose. No question should be asked there.
//   vDestroyWindow  kills the timers, calls OnDestroy (the child view still exists), destroys the
//                child and the window, calls PostNcDestroy and, for the main window, ends the loop.
// A frame allocated with new that should die with its window overrides PostNcDestroy with
// "delete this", as the framework's frames do. The object must outlive its window otherwise.
//
// Keyboard: F10 and Alt never open the menu (the menu bar has no mnemonics); the mouse does.
class CFrameWindow {
 public:
  CFrameWindow();
  virtual ~CFrameWindow();
  CFrameWindow(const CFrameWindow&) = delete;
  CFrameWindow& operator=(const CFrameWindow&) = delete;

  // Menu bar, built before fCreate: popups left to right, each followed by its entries. "&"
  // in a text marks a Windows mnemonic; on Linux it is dropped. An entry's command reaches
  // OnCommand.
  void vAddMenuPopup(const char* pszText);
  void vAddMenuItem(const char* pszText, unsigned int uCommand);
  // Texts of the About dialog that FRAME_CMD_ABOUT shows (title, one line, an OK button).
  void vSetAboutText(const char* pszTitle, const char* pszText);

  // Creates the window with the title and the class name (Windows: window class; Linux:
  // WM_CLASS name and class and the window role), caption, sizing border and menu bar on.
  // bMainWindow: its destruction ends the message loop, and the end-of-session signals are
  // delivered to it. False when the window or OnCreate failed.
  BOOL fCreate(const char* pszTitle, const char* pszClassName, BOOL bMainWindow = TRUE);
  BOOL fIsWindow() const;
  HWINDOW hGetWindow() const;

  // Places the child window (platform/html_view.h makes one) so it fills the client area below
  // the menu bar; the frame owns it from now on and destroys it with itself.
  BOOL fSetChild(HWINDOW hChild);

  // Showing and style.
  void vShow();
  // Caption and sizing border on or off (WS_CAPTION | WS_THICKFRAME).
  void vSetCaptionAndBorder(BOOL bOn);
  // Shows or removes the menu bar (SetMenu of the menu or of none).
  void vSetMenuBarVisible(BOOL bOn);
  // Maximises: without caption the window covers the whole monitor it is on (also with no window
  // manager running); with caption it fills the monitor's work area.
  void vShowMaximized();
  // Caption, border and menu bar off, then maximised: the kiosk's full screen.
  void vFullScreen();
  // Into (TRUE) or out of the top-most band (Linux: keep-above, and raised now).
  void vSetTopMost(BOOL bTopMost);
  // Brings the window to the foreground and gives it the input focus, past focus-stealing
  // prevention where the platform allows. False when the window does not exist.
  BOOL fForceForeground();
  // Makes it the active window of its application (Linux: the same as fForceForeground).
  void vForceActive();

  // Timers as SetTimer/KillTimer: uSetTimer (re)starts timer uId with the period (ms), replacing
  // a running one of that id; it repeats until killed and calls OnTimer(uId) on the UI thread.
  // Returns uId, or 0 when no timer could be set (no window, uId 0).
  unsigned int uSetTimer(unsigned int uId, unsigned int uElapseMs);
  BOOL fKillTimer(unsigned int uId);

  // Queues OnClose on the UI thread; from any thread (PostMessage WM_CLOSE). A frame whose window
  // is gone by then is not reached. False when nothing could be queued.
  BOOL fPostClose();

  // Destroys the window now (see above). Nothing happens when it does not exist.
  void vDestroyWindow();

  // Shows the modal About dialog with the texts of vSetAboutText, on top of the frame.
  void vShowAboutDialog();

 protected:
  // Handlers, UI thread.
  virtual int OnCreate() { return 0; }
  virtual void OnClose() { vDestroyWindow(); }
  virtual void OnEndSession(BOOL bEnding) {
    if (bEnding) OnClose();
  }
  virtual void OnTimer(unsigned int uId) {}
  virtual void OnDestroy() {}
  virtual void PostNcDestroy() {}
  // The window got the input focus; the default hands it to the child.
  virtual void OnSetFocus();
  // A menu command. Return TRUE when handled; otherwise FRAME_CMD_EXIT runs OnClose and
  // FRAME_CMD_ABOUT shows the About dialog.
  virtual BOOL OnCommand(unsigned int uCommand) { return FALSE; }

 private:
  // The backend's state; its window procedure or signal handlers call the handlers above through
  // it. The liveness outlives the window: work posted from other threads checks it on the UI
  // thread, and it is made once, with the object, so that other threads only ever copy it.
  struct CImpl;
  friend struct CImpl;
  struct CLiveness;
  std::unique_ptr<CImpl> m_pImpl;
  const std::shared_ptr<CLiveness> m_pLiveness;
  struct CMenuDef;
  std::unique_ptr<CMenuDef> m_pMenu;
  std::string m_strAboutTitle;
  std::string m_strAboutText;
};

}  // namespace platform
