// The page view's input policy: which inputs and window requests are refused, what the view's
// window looks like, and how the three input-hook libraries are installed and removed.
#pragma once

#include <cstdint>

#include "common/log_file.h"
#include "common/status_counters.h"
#include "platform/input_event.h"
#include "platform/types.h"
#include "view/view_settings.h"

// The three input-hook libraries as the view calls them; the view backend forwards each call to
// the library function of the same name. fTarvenixDetectSetPostWindow's window is the view's own
// window, which the backend knows.
class CInputHooks {
 public:
  virtual ~CInputHooks() = default;
  virtual BOOL fTXMouseHook() = 0;
  virtual void vTXStartHideCursor() = 0;
  virtual void vTXStopHideCursor() = 0;
  virtual void vTXStopRightClick() = 0;
  virtual void vTXMouseUnhook() = 0;
  virtual void vTarvenixDetectSetPostWindow() = 0;
  virtual BOOL fTarvenixDetectMouseHook(int32_t iDetectSize, int32_t iDetectPos, int32_t iDetectInterval) = 0;
  virtual void vTarvenixDetectMouseUnhook() = 0;
  virtual BOOL fTXKeyHook() = 0;
  virtual void vTXKeyUnhook() = 0;
};

// What the view asks of the application's main window; the view backend does nothing when there
// is no main window.
class CViewFrame {
 public:
  virtual ~CViewFrame() = default;
  // Closes the program without a question (a close posted to the main window).
  virtual void vPostClose() = 0;
  // Asks the operator whether to end the program (the main frame's exit question).
  virtual void vConfirmExit() = 0;
};

// Each decision reads the settings given at construction and writes its line to the access log
// (or, for the hooks, its failure to the program log at LOG_ERROR). The logs must outlive the
// policy. UI thread only.
class CInputPolicy {
 public:
  CInputPolicy(const CViewSettings& settings, CSystemLog& sysLog, CLogFile& accessLog);

  // Window creation: no client edge, no border, top-most unless TopMostLevel is 2.
  void vPreCreateWindow(platform::CWindowStyles& styles) const;

  // The view's creation: installs the hooks (mouse, detect-mouse when FullScreen is on, keyboard).
  // A hook that fails is reported and left out; the view is created all the same.
  void vInstallHooks(CInputHooks& hooks) const;

  // The view's destruction, after the gesture filter is removed: keyboard, detect-mouse (when
  // FullScreen is on), mouse (also when it failed to install).
  void vRemoveHooks(CInputHooks& hooks) const;

  // A mouse input before the page sees it; true when it is dropped.
  BOOL fPreTranslateMouse(platform::MouseMessage eMessage) const;

  // A system command; true when it is dropped (only the keyboard's way to the window menu).
  BOOL fDropSysCommand(uint32_t uCode) const;

  // A page's request for a new browser window; writes the answer to *pbCancel (true: refused).
  void vNewWindow2(BOOL* pbCancel) const;

  // A page script's request to close the browser window: *pbCancel stays false, and the program
  // closes through its main window.
  void vWindowClosing(BOOL* pbCancel, CViewFrame& frame) const;

  // The detect-mouse hook's exit notice: the main window asks its exit question.
  void vExitNotice(CViewFrame& frame) const;

  // The host information the engine asks for before it shows a page.
  void vGetHostInfo(platform::CHostInfo& info) const;

  // Counts every refused input there from now on (null: none); the counters must outlive the policy.
  void vSetCounters(CStatusCounters* pCounters) { m_pCounters = pCounters; }

 private:
  CViewSettings m_settings;
  CSystemLog& m_sysLog;
  CLogFile& m_accessLog;
  CStatusCounters* m_pCounters = nullptr;
};
