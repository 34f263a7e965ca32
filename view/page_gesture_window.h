// CPageGestureWindow: the engine's document window as the gesture filter sees it, on every platform.
#pragma once

#include "platform/document_gestures.h"
#include "platform/html_view.h"
#include "view/gesture_filter.h"
#include "view/touch_gestures.h"

// Gesture messages of the document window go to the filter as they come; where the platform
// delivers raw touches instead, they go through CTouchGestures first, and each gesture recognised
// there is a gesture message for the filter, swallowed or passed on by the filter's answer. The
// view and the filter must outlive this object. UI thread only.
class CPageGestureWindow : public CGestureWindow, private platform::CGestureSink {
 public:
  CPageGestureWindow(platform::CHtmlView& view, const CGestureFilter& filter);

  BOOL fFindDocumentWindow() override;
  void vConfigureGestures(const platform::CGestureConfig* pConfigs, unsigned int uCount) override;
  BOOL fSubclass() override;
  void vRemoveSubclass() override;

 private:
  BOOL fOnGestureMessage(const std::function<BOOL(uint32_t&)>& fnReadId) override;
  void vOnTouch(const platform::CTouchPoint& touch, platform::CTouchDecision& decision) override;

  const CGestureFilter& m_filter;
  CTouchGestures m_gestures;
  platform::CDocumentGestures m_document;
};
