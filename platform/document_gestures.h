// The engine's document window as the receiver of touch gestures, routed to the page view first.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/input_event.h"
#include "platform/types.h"
#include "platform/window_handle.h"

namespace platform {

class CHtmlView;

// What the page view decides about the document window's touch input. A platform delivers
// either gesture messages (Windows) or raw touches (Linux, where the view recognises the
// gestures itself); each call comes before the engine sees the input.
class CGestureSink {
 public:
  virtual ~CGestureSink() = default;
  // A gesture message. fnReadId reads its gesture id (GESTUREID_*), false when the gesture's
  // information cannot be read. TRUE: swallowed (its information is closed and the engine never
  // sees it); FALSE: it goes on to the engine.
  virtual BOOL fOnGestureMessage(const std::function<BOOL(uint32_t&)>& fnReadId) = 0;
  // A raw touch: held, delivered or dropped as the decision says (platform/input_event.h).
  virtual void vOnTouch(const CTouchPoint& touch, CTouchDecision& decision) = 0;
};

// Windows: the "Internet Explorer_Server" descendant of the engine's window, its gestures
// configured with SetGestureConfig and its messages subclassed (id 1) so that WM_GESTURE reaches
// the sink. Linux: the engine's widget, whose touches reach the sink before the engine's own
// touch handling. The view and the sink must outlive the object. UI thread only.
class CDocumentGestures {
 public:
  explicit CDocumentGestures(CHtmlView& view);
  ~CDocumentGestures();  // detaches
  CDocumentGestures(const CDocumentGestures&) = delete;
  CDocumentGestures& operator=(const CDocumentGestures&) = delete;

  // Looks for the document window; false while it does not exist yet.
  BOOL fFindDocumentWindow();
  // Which gestures the document window is to deliver (Linux: nothing to tell; the touches come
  // whole and the sink recognises what it was configured for).
  void vConfigure(const CGestureConfig* pConfigs, unsigned int uCount);
  // Routes the document window's gestures or touches to the sink; false when that failed (or no
  // document window was found, or it is attached already).
  BOOL fAttach(CGestureSink& sink);
  // Stops routing them; nothing happens when not attached.
  void vDetach();

 private:
  struct CImpl;
  std::unique_ptr<CImpl> m_pImpl;
};

}  // namespace platform
