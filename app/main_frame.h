// CMainFrame: the kiosk's only top-level window, its three timers and the quit question.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "app/idle_reset.h"
#include "app/screenshot_file.h"
#include "app/status_file.h"
#include "common/error.h"
#include "platform/frame_window.h"
#include "view/allow_list.h"
#include "view/input_policy.h"
#include "view/view_settings.h"

class CChildView;
class CTarvenixApp;

enum : unsigned int {
  TIMER_START = 1,       // 200 ms, once: full screen, foreground, the command-line address
  TIMER_TOPMOST = 2,     // 800 ms: keeps the frame top-most as TopMostLevel says
  TIMER_SIGNAL = 3,      // 500 ms: consumes the terminate flag and asks the quit question
  TIMER_IDLE = 4,        // 500 ms with IdleReset: the idle decision
  TIMER_STATUS = 5,      // 30 s with StatusFile: the status file is written again
  TIMER_SCREENSHOT = 6,  // ScreenshotInterval: a picture of the view is asked for
};

// Created by the application with new and fLoadFrame; deletes itself when its window is gone
// (as the framework's frames do). It holds the page view as its only child. All work runs on the
// UI thread except vOnMessageBoxResult, which the presenter calls on its worker thread: it only
// posts the close and clears the three flags, which are atomic for that reason.
class CMainFrame : public platform::CFrameWindow, public CErrorModeless, private CViewFrame {
 public:
  // bHardwareAcceleration: the GPU switch, passed to the engine when the view is created.
  CMainFrame(CTarvenixApp& app, BOOL bHardwareAcceleration);
  ~CMainFrame() override;

  // Builds menu 128 and the About dialog, creates the window "Tarvenix" of class "TarvenixClass"
  // (running OnCreate) and shows it. False when the window or its view could not be made.
  BOOL fLoadFrame();

  // Caption, border and menu bar off and maximised when iFlag is not 0.
  void vFullScreen(int iFlag);
  // Starts the view on the address; empty: the setting Blank, or "about:blank" when that is empty.
  void vNavigate(const std::string& strUrl);
  // Takes the frame out of the top-most band and asks "終了しますか?" on the presenter's worker.
  BOOL fConfirmExit();
  // The presenter's answer, on its worker thread: Yes closes the frame.
  void vOnMessageBoxResult(int iAnswer, int iMessageId) override;

  // (Re)start timer 2 or 3: kill the running one, set it with its period, store the id.
  BOOL fStartTopMostTimer();
  BOOL fStartSignalTimer();

 protected:
  int OnCreate() override;
  void OnClose() override;
  void OnTimer(unsigned int uId) override;
  BOOL OnCommand(unsigned int uCommand) override;
  void PostNcDestroy() override;

 private:
  // What the view asks of its frame.
  void vPostClose() override { fPostClose(); }
  void vConfirmExit() override { fConfirmExit(); }

  BOOL fRestartTimer(unsigned int& uStored, unsigned int uId, unsigned int uPeriodMs);
  void vOnStartTimer();
  void vKeepTopMost();
  void vOnSignalTimer();
  // The operator's optional features (allow-list, status file, idle reset, screenshots), set up
  // in OnCreate before the start page is asked for; a timer that cannot be set leaves its
  // feature off with a line at LOG_ERROR.
  void vSetUpOperatorFeatures();
  void vStartOperatorTimers();
  void vOnIdleTimer();

  CTarvenixApp& m_app;
  CViewSettings m_viewSettings;
  BOOL m_bHardwareAcceleration;
  CChildView* m_pView;
  unsigned int m_uStartTimer;
  unsigned int m_uTopMostTimer;
  unsigned int m_uSignalTimer;
  unsigned int m_uIdleTimer;
  unsigned int m_uStatusTimer;
  unsigned int m_uScreenshotTimer;
  CAllowList m_allowList;
  CIdleReset m_idle;
  std::unique_ptr<CStatusFile> m_pStatusFile;
  std::unique_ptr<CScreenshotFile> m_pScreenshots;
  std::atomic<BOOL> m_bTopMostDone;
  std::atomic<BOOL> m_bBusy;
  std::atomic<BOOL> m_bConfirming;
};
