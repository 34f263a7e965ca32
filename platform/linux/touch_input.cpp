// Linux touch input: the GTK widget's "touch-event" signal, whose handlers run before the widget's
// own touch handling; held touches are copies, delivered later through that handling directly.
#include "platform/linux/touch_input.h"

#include <gtk/gtk.h>

#include <deque>
#include <map>

namespace platform {

struct CTouchInput::CImpl {
  GtkWidget* pWidget = nullptr;
  gulong uTouchHandler = 0;
  gulong uDestroyHandler = 0;
  FnDecide fnDecide;
  std::deque<GdkEvent*> held;
  // The last touch delivered of each finger the widget has seen go down and not yet up: the
  // model of the cancel it is sent when the finger's gesture is dropped.
  std::map<GdkEventSequence*, GdkEvent*> open;
};

namespace {

void vForget(std::map<GdkEventSequence*, GdkEvent*>& open, GdkEventSequence* pSequence) {
  auto it = open.find(pSequence);
  if (it == open.end()) return;
  gdk_event_free(it->second);
  open.erase(it);
}

// Keeps track of the fingers the widget has seen, for the cancels.
void vNoteDelivered(CTouchInput::CImpl* pImpl, GdkEvent* pEvent) {
  GdkEventSequence* pSequence = pEvent->touch.sequence;
  vForget(pImpl->open, pSequence);
  if (pEvent->type == GDK_TOUCH_BEGIN || pEvent->type == GDK_TOUCH_UPDATE)
    pImpl->open[pSequence] = gdk_event_copy(pEvent);
}

// The widget's own touch handling, skipping the signal (and with it this filter).
void vDeliver(CTouchInput::CImpl* pImpl, GdkEvent* pEvent) {
  vNoteDelivered(pImpl, pEvent);
  GtkWidgetClass* pClass = GTK_WIDGET_GET_CLASS(pImpl->pWidget);
  if (pClass->touch_event != nullptr) pClass->touch_event(pImpl->pWidget, &pEvent->touch);
}

void vDropHeld(CTouchInput::CImpl* pImpl) {
  for (GdkEvent* pEvent : pImpl->held) gdk_event_free(pEvent);
  pImpl->held.clear();
}

gboolean fOnTouch(GtkWidget*, GdkEvent* pEvent, gpointer pData) {
  auto* pImpl = static_cast<CTouchInput::CImpl*>(pData);
  CTouchPoint touch{};
  switch (pEvent->type) {
    case GDK_TOUCH_BEGIN: touch.m_ePhase = TOUCH_BEGIN; break;
    case GDK_TOUCH_UPDATE: touch.m_ePhase = TOUCH_UPDATE; break;
    case GDK_TOUCH_END: touch.m_ePhase = TOUCH_END; break;
    case GDK_TOUCH_CANCEL: touch.m_ePhase = TOUCH_CANCEL; break;
    default: return FALSE;
  }
  touch.m_uSequence = reinterpret_cast<uintptr_t>(pEvent->touch.sequence);
  touch.m_dX = pEvent->touch.x;
  touch.m_dY = pEvent->touch.y;
  touch.m_uTimeMs = pEvent->touch.time;
  CTouchDecision decision;
  pImpl->fnDecide(touch, decision);

  switch (decision.m_eAction) {
    case TOUCHACTION_HOLD: pImpl->held.push_back(gdk_event_copy(pEvent)); return TRUE;
    case TOUCHACTION_DELIVER:
      while (!pImpl->held.empty()) {
        GdkEvent* pHeld = pImpl->held.front();
        pImpl->held.pop_front();
        vDeliver(pImpl, pHeld);
        gdk_event_free(pHeld);
      }
      vNoteDelivered(pImpl, pEvent);
      return FALSE;  // on to the widget's own handling
    case TOUCHACTION_DROP:
      vDropHeld(pImpl);
      vForget(pImpl->open, pEvent->touch.sequence);
      break;
  }
  for (uintptr_t uSequence : decision.m_cancelled) {
    auto it = pImpl->open.find(reinterpret_cast<GdkEventSequence*>(uSequence));
    if (it == pImpl->open.end()) continue;
    GdkEvent* pCancel = gdk_event_copy(it->second);
    pCancel->type = GDK_TOUCH_CANCEL;
    pCancel->touch.time = pEvent->touch.time;
    vDeliver(pImpl, pCancel);
    gdk_event_free(pCancel);
  }
  return TRUE;
}

void vFree(CTouchInput::CImpl* pImpl) {
  vDropHeld(pImpl);
  for (auto& [pSequence, pEvent] : pImpl->open) gdk_event_free(pEvent);
  delete pImpl;
}

}  // namespace

CTouchInput::CTouchInput() : m_pImpl(nullptr) {}

CTouchInput::~CTouchInput() { vDetach(); }

BOOL CTouchInput::fAttach(HWINDOW hWindow, FnDecide fnDecide) {
  if (m_pImpl != nullptr || hWindow == nullptr || !fnDecide) return FALSE;
  GtkWidget* pWidget = static_cast<GtkWidget*>(hWindow);
  if (!GTK_IS_WIDGET(pWidget)) return FALSE;
  m_pImpl = new CImpl;
  m_pImpl->pWidget = pWidget;
  m_pImpl->fnDecide = std::move(fnDecide);
  m_pImpl->uTouchHandler = g_signal_connect(pWidget, "touch-event", G_CALLBACK(fOnTouch), m_pImpl);
  m_pImpl->uDestroyHandler = g_signal_connect(
      pWidget, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer pData) { static_cast<CTouchInput*>(pData)->vDetach(); }),
      this);
  return TRUE;
}

void CTouchInput::vDetach() {
  if (m_pImpl == nullptr) return;
  g_signal_handler_disconnect(m_pImpl->pWidget, m_pImpl->uTouchHandler);
  g_signal_handler_disconnect(m_pImpl->pWidget, m_pImpl->uDestroyHandler);
  vFree(m_pImpl);
  m_pImpl = nullptr;
}

}  // namespace platform
