// The three input-hook libraries behind the view's hook interface.
#pragma once

#include "view/input_policy.h"

// Forwards each call to the library function of the same name; the detect-mouse hook posts its
// exit notice to pNoticeTarget (the view's window as the libraries know it).
class CHookLibraries : public CInputHooks {
 public:
  explicit CHookLibraries(void* pNoticeTarget) : m_pNoticeTarget(pNoticeTarget) {}

  BOOL fTXMouseHook() override;
  void vTXStartHideCursor() override;
  void vTXStopHideCursor() override;
  void vTXStopRightClick() override;
  void vTXMouseUnhook() override;
  void vTarvenixDetectSetPostWindow() override;
  BOOL fTarvenixDetectMouseHook(int32_t iDetectSize, int32_t iDetectPos, int32_t iDetectInterval) override;
  void vTarvenixDetectMouseUnhook() override;
  BOOL fTXKeyHook() override;
  void vTXKeyUnhook() override;

 private:
  void* m_pNoticeTarget;
};
