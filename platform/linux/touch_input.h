// Raw touches of a GTK widget, each decided before the widget's own handling sees it (the Linux
// document window of platform/document_gestures.h).
#pragma once

#include <functional>

#include "platform/input_event.h"
#include "platform/types.h"
#include "platform/window_handle.h"

namespace platform {

// For platforms that deliver raw touches rather than recognised gestures. While attached, every
// touch on the window goes to the decision first: held touches are kept, in order, until a later
// decision delivers or drops them; a delivered touch reaches the window's own handling as if it
// had just arrived; a dropped one never does, and each finger the decision names as cancelled is
// ended for the window by a cancel of its own. UI thread only.
class CTouchInput {
 public:
  using FnDecide = std::function<void(const CTouchPoint&, CTouchDecision&)>;

  CTouchInput();
  ~CTouchInput();  // detaches
  CTouchInput(const CTouchInput&) = delete;
  CTouchInput& operator=(const CTouchInput&) = delete;

  // Starts deciding the touches of hWindow, on screen or not yet. False when already attached or
  // when there is no window.
  BOOL fAttach(HWINDOW hWindow, FnDecide fnDecide);
  // Stops deciding; touches still held are dropped. Also happens by itself when the window is
  // destroyed.
  void vDetach();

  struct CImpl;

 private:
  CImpl* m_pImpl;
};

}  // namespace platform
