// CChildView: the page view: follows the program's navigations and enforces the input policy.
#pragma once

#include <memory>
#include <string>

#include "common/log_file.h"
#include "common/status_counters.h"
#include "view/allow_list.h"
#include "view/gesture_filter.h"
#include "view/html_view_custum.h"
#include "view/input_policy.h"
#include "view/navigation_tracker.h"
#include "view/page_gesture_window.h"
#include "view/snapshot_sink.h"
#include "view/view_settings.h"

namespace platform {
class CFrameWindow;
}

// The main frame's only child. Created with new by the frame and deleted with its window. The
// navigation events go to the tracker, the inputs and window requests to the input policy; the
// hook libraries are installed when the view is created, before any page is asked for, and
// removed when it is destroyed. The touch gesture filter is set up by the first size change after
// the engine's document window exists (when a gesture setting is on) and removed first at
// destruction.
// The settings, the logs and the frame must outlive the view. UI thread only.
class CChildView : public CHtmlViewCustum, private CNavigationHost {
 public:
  CChildView(const CViewSettings& settings, CSystemLog& sysLog, CLogFile& accessLog, CViewFrame& frame);
  ~CChildView() override;

  // Creates the view and its engine inside the frame (bHardwareAcceleration: the GPU switch).
  // False when it could not be created: the view has deleted itself then.
  BOOL fCreate(platform::CFrameWindow& frame, BOOL bHardwareAcceleration);

  // The operator's features, set before fCreate: the counters of the status file (refused inputs,
  // the page's navigations by outcome and the address shown), the address allow-list (inactive:
  // every address allowed) and where pictures go. Each must outlive the view; null: none.
  void vSetOperatorFeatures(CStatusCounters* pCounters, const CAllowList* pAllowList, CSnapshotSink* pSnapshots);

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
  void OnNewWindow2(void** ppDispatch, BOOL* pbCancel) override;
  // The page's status text is not passed to the frame.
  void OnStatusTextChange(const std::string& strText) override {}
  // Refused when the allow-list does not allow the address (with its line).
  void OnNavigationRequest(const std::string& strUrl, BOOL bNewWindow, BOOL* pbCancel) override;
  void OnSnapshot(uint32_t uWidth, uint32_t uHeight, const uint8_t* pPixels, size_t uStride) override;
  void PreCreateWindow(platform::CWindowStyles& styles) override;
  int OnCreate() override;
  BOOL OnAmbientProperty(int32_t iDispId, int32_t& iValue) override;
  void OnGetHostInfo(platform::CHostInfo& info) override;
  BOOL PreTranslateMouse(platform::MouseMessage eMessage) override;
  BOOL OnSysCommand(uint32_t uCode) override;
  void OnNotice(uint32_t uMessage) override;
  void OnSize() override;
  void OnDestroy() override;
  void PostNcDestroy() override;

 private:
  void vRefreshDownloadControl() override;

  CSystemLog& m_sysLog;
  CViewFrame& m_frame;
  CNavigationTracker m_tracker;
  CInputPolicy m_policy;
  CGestureFilter m_gestureFilter;
  CPageGestureWindow m_gestureWindow;
  BOOL m_bHooksInstalled;
  CLogFile& m_accessLog;
  CStatusCounters* m_pCounters;
  std::unique_ptr<CAllowFilter> m_pAllowFilter;
  CSnapshotSink* m_pSnapshots;
};
