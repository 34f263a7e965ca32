// CTouchGestureWindow: touches of the engine's widget through the recogniser and the gesture filter.
#include "view/touch_gesture_window.h"

CTouchGestureWindow::CTouchGestureWindow(platform::CHtmlView& view, const CGestureFilter& filter)
    : m_view(view), m_hDocument(nullptr), m_gestures([&filter](uint32_t uId) {
        return filter.fOnGesture([uId](uint32_t& uRead) {
          uRead = uId;
          return TRUE;
        });
      }) {}

BOOL CTouchGestureWindow::fFindDocumentWindow() {
  m_hDocument = m_view.hGetWindow();
  return m_hDocument != nullptr ? TRUE : FALSE;
}

void CTouchGestureWindow::vConfigureGestures(const platform::CGestureConfig* pConfigs, unsigned int uCount) {
  m_gestures.vConfigure(pConfigs, uCount);
}

BOOL CTouchGestureWindow::fSubclass() {
  return m_touch.fAttach(m_hDocument, [this](const platform::CTouchPoint& touch, platform::CTouchDecision& decision) {
    m_gestures.vOnTouch(touch, decision);
  });
}

void CTouchGestureWindow::vRemoveSubclass() { m_touch.vDetach(); }
