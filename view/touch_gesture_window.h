// CTouchGestureWindow: the engine's widget as the gesture filter's document window, for raw touches.
#pragma once

#include "platform/html_view.h"
#include "platform/touch_input.h"
#include "view/gesture_filter.h"
#include "view/touch_gestures.h"

// Where the platform delivers raw touches, the engine's own widget is the document window: the
// touches on it are routed through CTouchGestures, and each gesture recognised there is a gesture
// message for the filter, swallowed or passed on by the filter's answer. The view and the filter
// must outlive this object. UI thread only.
class CTouchGestureWindow : public CGestureWindow {
 public:
  CTouchGestureWindow(platform::CHtmlView& view, const CGestureFilter& filter);

  // The engine's widget exists (it takes touches from its creation on).
  BOOL fFindDocumentWindow() override;
  void vConfigureGestures(const platform::CGestureConfig* pConfigs, unsigned int uCount) override;
  BOOL fSubclass() override;
  void vRemoveSubclass() override;

 private:
  platform::CHtmlView& m_view;
  platform::HWINDOW m_hDocument;
  CTouchGestures m_gestures;
  platform::CTouchInput m_touch;
};
