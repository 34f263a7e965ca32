// CChildView: the page view: follows the program's navigations and enforces the input policy.
#pragma once

#include <string>

#include "common/log_file.h"
#include "view/gesture_filter.h"
#include "view/html_view_custum.h"
#include "view/input_policy.h"
#include "view/navigation_tracker.h"
#include "view/touch_gesture_window.h"
#include "view/view_settings.h"

namespace platform {
class CFrameWindow;
}

// The main frame's only child. Created with new by the frame and deleted with its window. The
// navigation events go to the tracker, the inputs and window requests to the input policy; the
// hook libraries are installed once the view is on screen and removed when it is destroyed. The
// touch gesture filter is set up by the first size change after the engine exists (when a gesture
// setting is on) and removed first at destruction.
// The settings, the logs and the frame must outlive the view. UI thread only.
class CChildView : public CHtmlViewCustum, private CNavigationHost {
 public:
  CChildView(const CViewSettings& settings, CSystemLog& sysLog, CLogFile& accessLog, CViewFrame& frame);
  ~CChildView() override;

  // Creates the view and its engine inside the frame (bHardwareAcceleration: the GPU switch).
  BOOL fCreate(platform::CFrameWindow& frame, BOOL bHardwareAcceleration);
  // Installs the three hook libraries; call once the view is on screen (the detect-mouse hook
  // needs the window it posts its exit notice to).
  void vInstallHooks();

  // Arms the tracker for the navigation the frame starts next.
  void vNavigateInit(const std::string& strUrl);
  // Commands offered to the view before the frame; the view handles none.
  BOOL OnCmdMsg(unsigned int uCommand) { return FALSE; }

 protected:
  void OnBeforeNavigate2Custum(CFrameId id, const std::string& strUrl, uint32_t uFlags,
                               const std::string& strTargetFrame, std::vector<unsigned char>& postedData,
                               const std::string& strHeaders, BOOL* pbCancel) override;
  void OnNavigateComplete2Custum(CFrameId id, const std::string& strUrl) override;
  void OnDocumentCompleteCustum(CFrameId id, const std::string& strUrl) override;
  void OnNavigateErrorCustum(CFrameId id, const std::string& strUrl, const std::string& strFrameName, uint32_t uStatus,
                             BOOL* pbCancel) override;
  void OnWindowClosingCustum(BOOL bIsChildWindow, BOOL* pbCancel) override;
  void NewWindow2(BOOL* pbCancel) override;
  void OnGetHostInfo(platform::CHostInfo& info) override;
  BOOL PreTranslateMouse(platform::MouseMessage eMessage) override;
  void OnNotice(uint32_t uMessage) override;
  void OnSize() override;
  void OnDestroy() override;
  void PostNcDestroy() override;

 private:
  // The engine reads its kiosk set-up once, at creation; there is nothing to read again.
  void vRefreshDownloadControl() override {}

  CSystemLog& m_sysLog;
  CViewFrame& m_frame;
  CNavigationTracker m_tracker;
  CInputPolicy m_policy;
  CGestureFilter m_gestureFilter;
  CTouchGestureWindow m_gestureWindow;
  BOOL m_bHooksInstalled;
};
