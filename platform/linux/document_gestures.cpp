// Linux document gestures: the engine's widget delivers raw touches, routed to the sink through
// the widget's touch input before WebKit's own touch handling.
#include "platform/document_gestures.h"

#include "platform/html_view.h"
#include "platform/linux/touch_input.h"

namespace platform {

struct CDocumentGestures::CImpl {
  CHtmlView& view;
  HWINDOW hDocument = nullptr;
  CTouchInput touch;
  explicit CImpl(CHtmlView& v) : view(v) {}
};

CDocumentGestures::CDocumentGestures(CHtmlView& view) : m_pImpl(std::make_unique<CImpl>(view)) {}

CDocumentGestures::~CDocumentGestures() { vDetach(); }

BOOL CDocumentGestures::fFindDocumentWindow() {
  m_pImpl->hDocument = m_pImpl->view.hGetWindow();
  return m_pImpl->hDocument != nullptr ? TRUE : FALSE;
}

void CDocumentGestures::vConfigure(const CGestureConfig* pConfigs, unsigned int uCount) {}

BOOL CDocumentGestures::fAttach(CGestureSink& sink) {
  if (m_pImpl->hDocument == nullptr) return FALSE;
  CGestureSink* pSink = &sink;
  return m_pImpl->touch.fAttach(m_pImpl->hDocument, [pSink](const CTouchPoint& touch, CTouchDecision& decision) {
    pSink->vOnTouch(touch, decision);
  });
}

void CDocumentGestures::vDetach() { m_pImpl->touch.vDetach(); }

}  // namespace platform
