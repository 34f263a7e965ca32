// The page view's touch gesture filter: which gestures reach the page, and their log lines.
#pragma once

#include <cstdint>
#include <functional>

#include "common/log_file.h"
#include "common/status_counters.h"
#include "platform/input_event.h"
#include "platform/types.h"
#include "view/view_settings.h"

// The gestures the engine's document window is asked to deliver, so that each one passes the filter.
inline constexpr unsigned int GESTURE_CONFIG_COUNT = 5;
inline constexpr platform::CGestureConfig GESTURE_CONFIGS[GESTURE_CONFIG_COUNT] = {
    {platform::GESTUREID_ZOOM, platform::GESTURECFG_ZOOM, 0},
    {platform::GESTUREID_PAN,
     platform::GESTURECFG_PAN_SINGLE_FINGER_VERTICALLY | platform::GESTURECFG_PAN_SINGLE_FINGER_HORIZONTALLY |
         platform::GESTURECFG_PAN_WITH_GUTTER | platform::GESTURECFG_PAN_WITH_INERTIA,
     0},
    {platform::GESTUREID_ROTATE, platform::GESTURECFG_ROTATE, 0},
    {platform::GESTUREID_TWOFINGERTAP, platform::GESTURECFG_TWOFINGERTAP, 0},
    {platform::GESTUREID_PRESSANDTAP, platform::GESTURECFG_PRESSANDTAP, 0},
};

// The platform side of the filter: the engine's document window, which receives the gestures.
class CGestureWindow {
 public:
  virtual ~CGestureWindow() = default;
  // Looks for the document window; false while it does not exist yet.
  virtual BOOL fFindDocumentWindow() = 0;
  // Tells the platform which gestures to deliver to the document window.
  virtual void vConfigureGestures(const platform::CGestureConfig* pConfigs, unsigned int uCount) = 0;
  // Routes the document window's gesture messages through the filter; false when that failed.
  virtual BOOL fSubclass() = 0;
  // Stops routing them.
  virtual void vRemoveSubclass() = 0;
};

// Set up by the view's size handling (once, when a gesture setting is on and the document
// window exists), removed at the view's destruction. Each gesture message writes "GESTURE\n" to
// the program log at LOG_ALL and its line to the access log. The logs must outlive the filter.
// UI thread only.
class CGestureFilter {
 public:
  CGestureFilter(const CViewSettings& settings, CSystemLog& sysLog, CLogFile& accessLog);

  // True when any of the six gesture settings is on.
  BOOL fAnyGestureSetting() const;

  // Sets the filter up unless no gesture setting is on or it is set up already; when the document
  // window does not exist yet, nothing changes and the next call tries again. Configuration
  // and subclassing are tried once: a failed subclassing is not retried.
  void vSetUp(CGestureWindow& window);

  // Removes the filter from the document window when it was installed.
  void vRemove(CGestureWindow& window);

  // One gesture message. fnReadId reads the message's gesture id (false when the gesture
  // information cannot be read). True: the gesture is swallowed (the backend closes its gesture
  // information and the page never sees it); false: it passes on to the default handling.
  BOOL fOnGesture(const std::function<BOOL(uint32_t&)>& fnReadId) const;

  // Counts every refused gesture from now on (null: none); the counters must outlive the filter.
  void vSetCounters(CStatusCounters* pCounters) { m_pCounters = pCounters; }

  BOOL fIsSetUp() const { return m_bGestureSet; }
  BOOL fIsSubclassed() const { return m_bSubclassed; }

 private:
  CViewSettings m_settings;
  CSystemLog& m_sysLog;
  CLogFile& m_accessLog;
  BOOL m_bGestureSet;
  BOOL m_bSubclassed;
  CStatusCounters* m_pCounters = nullptr;
};
