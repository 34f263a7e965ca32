// The platform-neutral forms of the inputs and window requests that the page view filters.
#pragma once

// Each UI backend maps its native events into these forms before it asks the view's decisions.
// Mouse input is an enumeration of its own; the codes, ids, flags and styles carry the numbers of
// the Win32 API, so the Win32 backend passes them through and the GTK backend maps its own events
// onto them. Header only: no OS call.

#include <cstdint>
#include <vector>

namespace platform {

// A mouse input on its way to the page, before the page sees it.
enum MouseMessage {
  MOUSEMSG_OTHER = 0,      // any mouse or other input the view does not filter
  MOUSEMSG_LBUTTONDOWN,    // left button pressed
  MOUSEMSG_LBUTTONDBLCLK,  // left button double-clicked
  MOUSEMSG_RBUTTONDOWN,    // right button pressed
  MOUSEMSG_RBUTTONUP,      // right button released
  MOUSEMSG_RBUTTONDBLCLK,  // right button double-clicked
  MOUSEMSG_WHEEL,          // one wheel turn or scroll step, with or without a modifier key
};

// System command codes (the code of a WM_SYSCOMMAND); the keyboard path to a window menu (Alt,
// F10, Alt+Space) arrives as SYSCMD_KEYMENU.
inline constexpr uint32_t SYSCMD_CLOSE = 0xF060;
inline constexpr uint32_t SYSCMD_KEYMENU = 0xF100;

// Gesture ids of a touch gesture message.
inline constexpr uint32_t GESTUREID_BEGIN = 1;
inline constexpr uint32_t GESTUREID_END = 2;
inline constexpr uint32_t GESTUREID_ZOOM = 3;
inline constexpr uint32_t GESTUREID_PAN = 4;
inline constexpr uint32_t GESTUREID_ROTATE = 5;
inline constexpr uint32_t GESTUREID_TWOFINGERTAP = 6;
inline constexpr uint32_t GESTUREID_PRESSANDTAP = 7;

// Flags of a gesture configuration record: which forms of a gesture a window wants delivered.
inline constexpr uint32_t GESTURECFG_ZOOM = 0x1;
inline constexpr uint32_t GESTURECFG_PAN_SINGLE_FINGER_VERTICALLY = 0x2;
inline constexpr uint32_t GESTURECFG_PAN_SINGLE_FINGER_HORIZONTALLY = 0x4;
inline constexpr uint32_t GESTURECFG_PAN_WITH_GUTTER = 0x8;
inline constexpr uint32_t GESTURECFG_PAN_WITH_INERTIA = 0x10;
inline constexpr uint32_t GESTURECFG_ROTATE = 0x1;
inline constexpr uint32_t GESTURECFG_TWOFINGERTAP = 0x1;
inline constexpr uint32_t GESTURECFG_PRESSANDTAP = 0x1;

// One gesture configuration record: gesture id, wanted flags, blocked flags.
struct CGestureConfig {
  uint32_t m_uId;
  uint32_t m_uWant;
  uint32_t m_uBlock;
};

// One raw touch on the engine's widget, before the engine sees it (platforms without gesture
// messages recognise the gestures in these themselves). m_uSequence tells the fingers apart: the
// same value from a finger's begin to its end or cancel.
enum TouchPhase { TOUCH_BEGIN, TOUCH_UPDATE, TOUCH_END, TOUCH_CANCEL };
struct CTouchPoint {
  TouchPhase m_ePhase;
  uintptr_t m_uSequence;
  double m_dX;  // position in the widget, in pixels
  double m_dY;
  uint32_t m_uTimeMs;  // the event's time stamp, in milliseconds
};

// What becomes of a raw touch: held back until its gesture is known, delivered to the engine
// (after every touch held before it, in their order), or dropped with every touch held before it.
// A drop also names the fingers whose begin the engine has already seen: the engine is told that
// they were cancelled, so that it never finishes what they started.
enum TouchAction { TOUCHACTION_HOLD, TOUCHACTION_DELIVER, TOUCHACTION_DROP };
struct CTouchDecision {
  TouchAction m_eAction = TOUCHACTION_DELIVER;
  std::vector<uintptr_t> m_cancelled;
};

// Flags of the browser engine's host-information record.
inline constexpr uint32_t HOSTUI_NO3DBORDER = 0x4;            // no 3-D border around the page
inline constexpr uint32_t HOSTUI_SCROLL_NO = 0x8;             // no scroll bars, no scrolling
inline constexpr uint32_t HOSTUI_NO3DOUTERBORDER = 0x200000;  // no 3-D border around the frame set
inline constexpr uint32_t HOSTUI_DBLCLK_DEFAULT = 0;          // double-click field: default handling

// The host-information record as the engine filled it, to be adjusted by the view.
struct CHostInfo {
  uint32_t m_uFlags;
  uint32_t m_uDoubleClick;
};

// Window style bits that the view sets or removes when its window is created.
inline constexpr uint32_t WINSTYLE_BORDER = 0x00800000;    // thin border
inline constexpr uint32_t WINSTYLE_EX_TOPMOST = 0x8;       // above every window that is not top-most
inline constexpr uint32_t WINSTYLE_EX_CLIENTEDGE = 0x200;  // sunken client edge

// The style and extended style of a window about to be created.
struct CWindowStyles {
  uint32_t m_uStyle;
  uint32_t m_uExStyle;
};

}  // namespace platform
