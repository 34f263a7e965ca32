// CHtmlViewCustum: the engine's navigation events handed on with the identity of their frame.
#pragma once

#include <string>
#include <vector>

#include "platform/html_view.h"
#include "view/frame_id.h"

// Adds no data: it turns the engine's events into the five handlers below, each navigation
// event with the identity of the frame that raised it. The defaults never cancel.
class CHtmlViewCustum : public platform::CHtmlView {
 protected:
  virtual void OnNavigateComplete2Custum(CFrameId id, const std::string& strUrl) {}
  virtual void OnBeforeNavigate2Custum(CFrameId id, const std::string& strUrl, uint32_t uFlags,
                                       const std::string& strTargetFrame, std::vector<unsigned char>& postedData,
                                       const std::string& strHeaders, BOOL* pbCancel) {
    *pbCancel = FALSE;
  }
  virtual void OnDocumentCompleteCustum(CFrameId id, const std::string& strUrl) {}
  virtual void OnNavigateErrorCustum(CFrameId id, const std::string& strUrl, const std::string& strFrameName,
                                     uint32_t uStatus, BOOL* pbCancel) {
    *pbCancel = FALSE;
  }
  virtual void OnWindowClosingCustum(BOOL bIsChildWindow, BOOL* pbCancel) { *pbCancel = FALSE; }

 private:
  void NavigateComplete2(uintptr_t uFrameId, const std::string& strUrl) final {
    OnNavigateComplete2Custum(CFrameId(uFrameId), strUrl);
  }
  void BeforeNavigate2(uintptr_t uFrameId, const std::string& strUrl, uint32_t uFlags,
                       const std::string& strTargetFrame, std::vector<unsigned char>& postedData,
                       const std::string& strHeaders, BOOL* pbCancel) final {
    BOOL bCancel = FALSE;
    OnBeforeNavigate2Custum(CFrameId(uFrameId), strUrl, uFlags, strTargetFrame, postedData, strHeaders, &bCancel);
    *pbCancel = bCancel != 0 ? TRUE : FALSE;
  }
  void DocumentComplete(uintptr_t uFrameId, const std::string& strUrl) final {
    OnDocumentCompleteCustum(CFrameId(uFrameId), strUrl);
  }
  void NavigateError(uintptr_t uFrameId, const std::string& strUrl, const std::string& strFrameName, uint32_t uStatus,
                     BOOL* pbCancel) final {
    BOOL bCancel = FALSE;
    OnNavigateErrorCustum(CFrameId(uFrameId), strUrl, strFrameName, uStatus, &bCancel);
    if (pbCancel != nullptr) *pbCancel = bCancel != 0 ? TRUE : FALSE;
  }
  void WindowClosing(BOOL bIsChildWindow, BOOL* pbCancel) final { OnWindowClosingCustum(bIsChildWindow, pbCancel); }
};
