// CTarvenixApp: the application object of Tarvenix: settings, logs, command line and start-up.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "app/optional_settings.h"
#include "app/setting_file.h"
#include "app/tarvenix_cmd_line.h"
#include "common/log_file.h"
#include "common/status_counters.h"
#include "platform/application.h"
#include "proc/signal.h"

// The terminate flag: the signal-15 handler sets it on the receiver thread; the main frame's
// signal timer reads it and sets it back to 0 on the UI thread.
extern std::atomic<int32_t> g_bSigTerm;

// The handler for signal 15: sets g_bSigTerm for 15, ignores any other number.
void vOnSigTerm(int iSignal);

// One static object per process (app/tarvenix_main.cpp). Construction binds the program log to
// the month file beside the executable; InitInstance runs the start-up steps in order and ends
// the program at the first that fails. The settings fields are written only by fLoadSetting, during
// InitInstance, and read-only afterwards.
class CTarvenixApp : public platform::CApplication {
 public:
  CTarvenixApp();
  ~CTarvenixApp() override;

  BOOL InitInstance() override;
  // Serves the main window until it is gone, then ExitInstance.
  int Run() override;
  int ExitInstance() override;

  // Loads "Tarvenix.ini" beside the executable into the settings fields, writing each missing
  // key's default back (and its lines to the program log). FALSE when a default cannot be written
  // or DetectPos is not 0 to 3: the program must not start.
  BOOL fLoadSetting();

  int m_iDebug;
  int m_iFullScreen;
  int m_iNewWindow;
  int m_iRightButton;
  int m_iScroll;
  int m_iIeVersion;
  int m_iAccessLog;
  int m_iMouseOn;
  int m_iTopMostLevel;
  int m_iGestureOff;
  int m_iGestureZoomOff;
  int m_iGesturePanOff;
  int m_iGestureRotateOff;
  int m_iGestureTwoFingerTapOff;
  int m_iGesturePressAndTapOff;
  std::string m_strBlank;
  int m_iDetectSize;
  int m_iDetectInterval;
  int m_iDetectPos;

  // The keys an operator adds for the optional features, read after the others.
  COptionalSettings m_Optional;

  std::string m_strUrl;  // the address after the flag "URL"; empty without one
  // The receiver of tarvctl's signals; constructed before the logs and destroyed after them, its
  // destructor stops the receiver thread at process end.
  CSignal m_Signal;
  CSystemLog m_SysLog;
  CLogFile m_AccessLog;  // opened only when AccessLog is other than 0
  CSettingFile m_Setting;
  CTarvenixCmdLine m_CmdLine;
  // What the kiosk did since its start, for the status file; kept by the main frame and the view.
  CStatusCounters m_Status;

 private:
  // Creates the main frame and makes it the main window (step 19 of InitInstance).
  BOOL fCreateMainFrame();

  std::string m_strDir;  // the executable's directory, without a trailing separator
  BOOL m_bOleInit;
  BOOL m_bMainWindow;  // the main frame was created; the loop runs until it is destroyed
};
