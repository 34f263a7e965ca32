// CTarvenixApp's main window: step 19 of the start-up creates the main frame; Run serves it.
#include "app/ie_reg.h"
#include "app/main_frame.h"
#include "app/tarvenix_app.h"
#include "platform/message_loop.h"

BOOL CTarvenixApp::fCreateMainFrame() {
  if (!platform::fInitMessageLoop()) {
    m_SysLog.fWrite(LOG_ERROR, "メインウィンドウ生成に失敗(画面なし)\n");
    return FALSE;
  }
  CIeReg reg;
  CMainFrame* pFrame = new (std::nothrow) CMainFrame(*this, reg.fIsGpuRenderingOn());
  if (pFrame == nullptr) return FALSE;
  // A frame whose creation failed has deleted itself with its window.
  if (!pFrame->fLoadFrame()) {
    m_SysLog.fWrite(LOG_ERROR, "メインウィンドウ生成に失敗\n");
    return FALSE;
  }
  m_bMainWindow = TRUE;
  return TRUE;
}

int CTarvenixApp::Run() {
  if (m_bMainWindow) platform::iRunMessageLoop();
  return ExitInstance();
}
