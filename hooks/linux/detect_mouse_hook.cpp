// TXDetectMouseHook on Linux: XInput2 raw pointer events of the whole screen, read through a GDK
// event filter, feed CDetectAction; the notice is an X11 ClientMessage to the registered window.
#include "hooks/detect_mouse_hook.h"

#include <gdk/gdk.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "hooks/detect_action.h"
#include "hooks/hook_log.h"
#include "hooks/linux/x11_display.h"

namespace {

struct CDetectHookState {
  BOOL m_bInstalled = FALSE;
  Window m_Post = 0;
  int m_iXiOpcode = -1;
  CDetectAction m_Action;
  guint m_uTimer = 0;
  BOOL m_bTouch = FALSE;  // the running action was started by a touch, not the button
};
CDetectHookState g_Detect;

// Raw events come for every pointer and touch input of the server, whichever window is under
// the pointer and whoever grabs it; they carry no screen position, so the position is asked for.
const int kRawEvents[] = {XI_RawButtonPress, XI_RawButtonRelease, XI_RawMotion,
                          XI_RawTouchBegin,  XI_RawTouchUpdate,   XI_RawTouchEnd};

uint32_t uNow() { return static_cast<uint32_t>(g_get_monotonic_time() / 1000); }

// Where the pointer is, in root-window pixels, and whether the primary button is down.
BOOL fQueryPointer(int& iX, int& iY, BOOL& bButton) {
  Display* display = pGetHookDisplay();
  if (display == nullptr) return FALSE;
  Window root = 0, child = 0;
  int wx = 0, wy = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &iX, &iY, &wx, &wy, &mask)) return FALSE;
  bButton = (mask & Button1Mask) != 0;
  return TRUE;
}

// The primary monitor in root-window pixels (the first monitor when none is primary).
CDetectScreen screenPrimary() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  CDetectScreen screen = {0, 0, 0, 0};
  if (monitor == nullptr) return screen;
  GdkRectangle r;
  gdk_monitor_get_geometry(monitor, &r);
  int scale = gdk_monitor_get_scale_factor(monitor);
  screen = {r.x * scale, r.y * scale, r.width * scale, r.height * scale};
  return screen;
}

void vSendNotice() {
  if (g_Detect.m_Post == 0) {
    vHookLog("TXDetectMouseHook: exit action recognised, no window to notify\n");
    return;
  }
  GdkDisplay* gdisplay = gdk_display_get_default();
  Display* display = GDK_DISPLAY_XDISPLAY(gdisplay);
  XEvent event;
  std::memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = g_Detect.m_Post;
  event.xclient.message_type = XInternAtom(display, TXDETECT_NOTICE_ATOM, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = TXDETECT_NOTICE_MESSAGE;
  // A window that is gone must not end the program through GDK's X error handler.
  gdk_x11_display_error_trap_push(gdisplay);
  XSendEvent(display, g_Detect.m_Post, False, NoEventMask, &event);
  if (gdk_x11_display_error_trap_pop(gdisplay) != 0) {
    vHookLog("TXDetectMouseHook: exit action recognised, window 0x%lx does not exist\n", g_Detect.m_Post);
  } else {
    vHookLog("TXDetectMouseHook: exit action recognised, notice sent to window 0x%lx\n", g_Detect.m_Post);
  }
}

void vStopTimer() {
  if (g_Detect.m_uTimer != 0) g_source_remove(g_Detect.m_uTimer);
  g_Detect.m_uTimer = 0;
}

gboolean fOnTimer(gpointer);

void vStartTimer() {
  vStopTimer();
  g_Detect.m_uTimer = g_timeout_add(g_Detect.m_Action.uRemaining(uNow()), fOnTimer, nullptr);
}

// The hold may be complete: checks that the pointer is still in the square and still pressed.
gboolean fOnTimer(gpointer) {
  g_Detect.m_uTimer = 0;
  int x = 0, y = 0;
  BOOL button = FALSE;
  if (fQueryPointer(x, y, button)) {
    if (!button && !g_Detect.m_bTouch) g_Detect.m_Action.vRelease();
    g_Detect.m_Action.vMove(x, y);
  }
  if (g_Detect.m_Action.fDue(uNow())) {
    vSendNotice();
  } else if (g_Detect.m_Action.fRunning() && g_Detect.m_Action.uRemaining(uNow()) > 0) {
    vStartTimer();
  }
  return G_SOURCE_REMOVE;
}

void vPress(BOOL bTouch) {
  int x = 0, y = 0;
  BOOL button = FALSE;
  if (!fQueryPointer(x, y, button)) return;
  g_Detect.m_bTouch = bTouch;
  if (g_Detect.m_Action.fPress(x, y, screenPrimary(), uNow())) vStartTimer();
}

void vMove() {
  if (!g_Detect.m_Action.fRunning()) return;
  int x = 0, y = 0;
  BOOL button = FALSE;
  if (fQueryPointer(x, y, button)) g_Detect.m_Action.vMove(x, y);
  if (!g_Detect.m_Action.fRunning()) vStopTimer();
}

void vRelease() {
  g_Detect.m_Action.vRelease();
  vStopTimer();
}

GdkFilterReturn eFilter(GdkXEvent* pXEvent, GdkEvent*, gpointer) {
  int type = 0;
  XIEvent* xi = pGetXiEvent(static_cast<XEvent*>(pXEvent), g_Detect.m_iXiOpcode, type);
  if (xi == nullptr) return GDK_FILTER_CONTINUE;
  XIRawEvent* raw = reinterpret_cast<XIRawEvent*>(xi);
  switch (type) {
    case XI_RawButtonPress:
      if (raw->detail == 1) vPress(FALSE);
      break;
    case XI_RawButtonRelease:
      if (raw->detail == 1 && !g_Detect.m_bTouch) vRelease();
      break;
    case XI_RawTouchBegin:
      if (!g_Detect.m_Action.fRunning()) vPress(TRUE);
      break;
    case XI_RawTouchEnd:
      if (g_Detect.m_bTouch) vRelease();
      break;
    case XI_RawMotion:
    case XI_RawTouchUpdate: vMove(); break;
    default: break;
  }
  // Other filters of the program may want the same events; GTK ignores raw events.
  return GDK_FILTER_CONTINUE;
}

// Adds (or removes) the raw events to this connection's selection on the root window for all
// master devices, keeping whatever else the program selected there. Touch events need XInput
// 2.2; without it the selection is made without them.
void vSelectRawEvents(Display* pDisplay, BOOL bSelect) {
  Window root = DefaultRootWindow(pDisplay);
  unsigned char bits[XIMaskLen(XI_LASTEVENT)];
  std::memset(bits, 0, sizeof bits);
  int count = 0;
  XIEventMask* current = XIGetSelectedEvents(pDisplay, root, &count);
  for (int i = 0; current != nullptr && i < count; ++i) {
    if (current[i].deviceid != XIAllMasterDevices) continue;
    std::memcpy(bits, current[i].mask, std::min<size_t>(sizeof bits, static_cast<size_t>(current[i].mask_len)));
  }
  if (current != nullptr) XFree(current);
  for (int type : kRawEvents) {
    if (bSelect) {
      XISetMask(bits, type);
    } else {
      XIClearMask(bits, type);
    }
  }
  XIEventMask mask;
  mask.deviceid = XIAllMasterDevices;
  mask.mask_len = sizeof bits;
  mask.mask = bits;
  GdkDisplay* gdisplay = gdk_display_get_default();
  gdk_x11_display_error_trap_push(gdisplay);
  XISelectEvents(pDisplay, root, &mask, 1);
  if (gdk_x11_display_error_trap_pop(gdisplay) != 0) {
    XIClearMask(bits, XI_RawTouchBegin);
    XIClearMask(bits, XI_RawTouchUpdate);
    XIClearMask(bits, XI_RawTouchEnd);
    gdk_x11_display_error_trap_push(gdisplay);
    XISelectEvents(pDisplay, root, &mask, 1);
    gdk_x11_display_error_trap_pop_ignored(gdisplay);
  }
  XFlush(pDisplay);
}

}  // namespace

void vTarvenixDetectSetPostWindow(void* hWnd) {
  g_Detect.m_Post = static_cast<Window>(reinterpret_cast<uintptr_t>(hWnd));
  vHookLog("TXDetectMouseHook: vTarvenixDetectSetPostWindow: window 0x%lx\n", g_Detect.m_Post);
}

BOOL fTarvenixDetectMouseHook(int DetectSize, int DetectPos, int DetectInterval) {
  CDetectAction action;
  if (!action.fConfigure(DetectSize, DetectPos, DetectInterval)) {
    vHookLog("TXDetectMouseHook: fTarvenixDetectMouseHook(%d, %d, %d): failed, values out of range\n", DetectSize,
             DetectPos, DetectInterval);
    return FALSE;
  }
  Display* display = pGetHookDisplay();
  int opcode = display != nullptr ? iGetXiOpcode(display) : -1;
  if (opcode < 0) {
    vHookLog("TXDetectMouseHook: fTarvenixDetectMouseHook(%d, %d, %d): failed, no X11 display with XInput 2\n",
             DetectSize, DetectPos, DetectInterval);
    return FALSE;
  }
  vStopTimer();
  g_Detect.m_Action.fConfigure(DetectSize, DetectPos, DetectInterval);
  g_Detect.m_iXiOpcode = opcode;
  if (!g_Detect.m_bInstalled) {
    vSelectRawEvents(display, TRUE);
    gdk_window_add_filter(nullptr, eFilter, nullptr);
    g_Detect.m_bInstalled = TRUE;
  }
  vHookLog("TXDetectMouseHook: fTarvenixDetectMouseHook(%d, %d, %d): installed\n", DetectSize, DetectPos,
           DetectInterval);
  return TRUE;
}

void vTarvenixDetectMouseUnhook(void) {
  if (!g_Detect.m_bInstalled) {
    vHookLog("TXDetectMouseHook: vTarvenixDetectMouseUnhook: no hook\n");
    return;
  }
  gdk_window_remove_filter(nullptr, eFilter, nullptr);
  Display* display = pGetHookDisplay();
  if (display != nullptr) vSelectRawEvents(display, FALSE);
  vRelease();
  g_Detect.m_bInstalled = FALSE;
  vHookLog("TXDetectMouseHook: vTarvenixDetectMouseUnhook: removed\n");
}
