// CPageGestureWindow: the document window's gestures and touches through the recogniser and the filter.
#include "view/page_gesture_window.h"

CPageGestureWindow::CPageGestureWindow(platform::CHtmlView& view, const CGestureFilter& filter)
    : m_filter(filter),
      m_gestures([&filter](uint32_t uId) {
        return filter.fOnGesture([uId](uint32_t& uRead) {
          uRead = uId;
          return TRUE;
        });
      }),
      m_document(view) {}

BOOL CPageGestureWindow::fFindDocumentWindow() { return m_document.fFindDocumentWindow(); }

void CPageGestureWindow::vConfigureGestures(const platform::CGestureConfig* pConfigs, unsigned int uCount) {
  m_document.vConfigure(pConfigs, uCount);
  m_gestures.vConfigure(pConfigs, uCount);
}

BOOL CPageGestureWindow::fSubclass() { return m_document.fAttach(*this); }

void CPageGestureWindow::vRemoveSubclass() { m_document.vDetach(); }

BOOL CPageGestureWindow::fOnGestureMessage(const std::function<BOOL(uint32_t&)>& fnReadId) {
  return m_filter.fOnGesture(fnReadId);
}

void CPageGestureWindow::vOnTouch(const platform::CTouchPoint& touch, platform::CTouchDecision& decision) {
  m_gestures.vOnTouch(touch, decision);
}
