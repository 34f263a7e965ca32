// TXMouseHook on Linux: a GDK event filter that drops right clicks, and blank cursors kept on
// every GDK window of the program while the cursor is hidden.
#include "hooks/mouse_hook.h"

#include <gdk/gdk.h>
#include <gdk/gdkx.h>

#include <bitset>

#include "hooks/hook_log.h"
#include "hooks/linux/x11_display.h"

namespace {

const unsigned int kRightButton = 3;

struct CMouseHookState {
  BOOL m_bInstalled = FALSE;
  BOOL m_bStopRightClick = FALSE;
  BOOL m_bHideCursor = FALSE;
  int m_iXiOpcode = -1;
  GdkCursor* m_pBlank = nullptr;
  // Devices whose right-button press was dropped: their release is dropped too.
  std::bitset<256> m_RightHeld;
};
CMouseHookState g_Mouse;

// Per GDK window while the cursor is hidden: the cursor the window asked for, restored later.
const char kWantedKey[] = "tx-mouse-hook-wanted-cursor";
const char kHandlerKey[] = "tx-mouse-hook-handler";

void vOnCursorChanged(GObject* pObject, GParamSpec*, gpointer);

// Gives one window the blank cursor and watches it. The cursor it had is remembered for later,
// and so is any cursor a widget or the page sets on it meanwhile, which is replaced at once.
void vBlankWindow(GdkWindow* pWindow) {
  GObject* object = G_OBJECT(pWindow);
  GdkCursor* current = gdk_window_get_cursor(pWindow);
  if (current == g_Mouse.m_pBlank) return;
  g_object_set_data_full(object, kWantedKey, current != nullptr ? g_object_ref(current) : nullptr, g_object_unref);
  if (g_object_get_data(object, kHandlerKey) == nullptr) {
    gulong id = g_signal_connect(object, "notify::cursor", G_CALLBACK(vOnCursorChanged), nullptr);
    g_object_set_data(object, kHandlerKey, reinterpret_cast<gpointer>(id));
  }
  gdk_window_set_cursor(pWindow, g_Mouse.m_pBlank);
}

void vOnCursorChanged(GObject* pObject, GParamSpec*, gpointer) {
  if (g_Mouse.m_bHideCursor) vBlankWindow(GDK_WINDOW(pObject));
}

// Gives the window its own cursor back and stops watching it.
void vRestoreWindow(GdkWindow* pWindow) {
  GObject* object = G_OBJECT(pWindow);
  gulong id = reinterpret_cast<gulong>(g_object_get_data(object, kHandlerKey));
  if (id == 0) return;
  g_signal_handler_disconnect(object, id);
  g_object_set_data(object, kHandlerKey, nullptr);
  gdk_window_set_cursor(pWindow, static_cast<GdkCursor*>(g_object_get_data(object, kWantedKey)));
  g_object_set_data(object, kWantedKey, nullptr);
}

void vForEachWindow(GdkWindow* pWindow, void (*pfn)(GdkWindow*)) {
  if (gdk_window_is_destroyed(pWindow)) return;
  pfn(pWindow);
  GList* children = gdk_window_get_children(pWindow);
  for (GList* l = children; l != nullptr; l = l->next) vForEachWindow(GDK_WINDOW(l->data), pfn);
  g_list_free(children);
}

// Every toplevel GDK window of the program and all windows inside them.
void vForEachProgramWindow(void (*pfn)(GdkWindow*)) {
  GList* toplevels = gdk_screen_get_toplevel_windows(gdk_screen_get_default());
  for (GList* l = toplevels; l != nullptr; l = l->next) vForEachWindow(GDK_WINDOW(l->data), pfn);
  g_list_free(toplevels);
}

// TRUE when the event is a press or release of the right button that must not reach GTK.
BOOL fDropRightButton(BOOL bPress, unsigned int uButton, int iDevice) {
  if (uButton != kRightButton) return FALSE;
  size_t slot = static_cast<size_t>(iDevice) & 0xFF;
  if (bPress) {
    if (!g_Mouse.m_bStopRightClick) return FALSE;
    g_Mouse.m_RightHeld.set(slot);
    return TRUE;
  }
  if (!g_Mouse.m_RightHeld.test(slot)) return FALSE;
  g_Mouse.m_RightHeld.reset(slot);
  return TRUE;
}

GdkFilterReturn eFilter(GdkXEvent* pXEvent, GdkEvent*, gpointer) {
  XEvent* event = static_cast<XEvent*>(pXEvent);
  int type = 0;
  XIEvent* xi = pGetXiEvent(event, g_Mouse.m_iXiOpcode, type);
  BOOL pointerEvent = FALSE;
  if (xi != nullptr) {
    if (type == XI_ButtonPress || type == XI_ButtonRelease) {
      XIDeviceEvent* device = reinterpret_cast<XIDeviceEvent*>(xi);
      if (fDropRightButton(type == XI_ButtonPress, device->detail, device->deviceid)) return GDK_FILTER_REMOVE;
    }
    pointerEvent = type == XI_Motion || type == XI_Enter || type == XI_ButtonPress || type == XI_TouchBegin;
  } else if (event->type == ButtonPress || event->type == ButtonRelease) {
    // Core events reach windows that selected no XInput2 events; they all come from one pointer.
    if (fDropRightButton(event->type == ButtonPress, event->xbutton.button, 0)) return GDK_FILTER_REMOVE;
    pointerEvent = event->type == ButtonPress;
  } else {
    pointerEvent = event->type == MotionNotify || event->type == EnterNotify || event->type == MapNotify;
  }
  // Windows created since the last look (a dialog, a pop-up, a widget realised late) get the
  // blank cursor before GTK handles the pointer over them.
  if (g_Mouse.m_bHideCursor && pointerEvent) vForEachProgramWindow(vBlankWindow);
  return GDK_FILTER_CONTINUE;
}

void vShowCursor() {
  if (!g_Mouse.m_bHideCursor) return;
  g_Mouse.m_bHideCursor = FALSE;
  vForEachProgramWindow(vRestoreWindow);
}

}  // namespace

BOOL fTXMouseHook(void) {
  if (g_Mouse.m_bInstalled) {
    vHookLog("TXMouseHook: fTXMouseHook: already installed\n");
    return TRUE;
  }
  Display* display = pGetHookDisplay();
  if (display == nullptr) {
    vHookLog("TXMouseHook: fTXMouseHook: failed, no X11 display\n");
    return FALSE;
  }
  g_Mouse.m_iXiOpcode = iGetXiOpcode(display);
  g_Mouse.m_pBlank = gdk_cursor_new_for_display(gdk_display_get_default(), GDK_BLANK_CURSOR);
  g_Mouse.m_bStopRightClick = FALSE;
  g_Mouse.m_bHideCursor = FALSE;
  g_Mouse.m_RightHeld.reset();
  gdk_window_add_filter(nullptr, eFilter, nullptr);
  g_Mouse.m_bInstalled = TRUE;
  vHookLog("TXMouseHook: fTXMouseHook: installed\n");
  return TRUE;
}

void vTXStartHideCursor(void) {
  if (!g_Mouse.m_bInstalled) {
    vHookLog("TXMouseHook: vTXStartHideCursor: ignored, no hook\n");
    return;
  }
  g_Mouse.m_bHideCursor = TRUE;
  vForEachProgramWindow(vBlankWindow);
  gdk_display_flush(gdk_display_get_default());
  vHookLog("TXMouseHook: vTXStartHideCursor: cursor hidden\n");
}

void vTXStopHideCursor(void) {
  if (!g_Mouse.m_bInstalled) {
    vHookLog("TXMouseHook: vTXStopHideCursor: ignored, no hook\n");
    return;
  }
  vShowCursor();
  gdk_display_flush(gdk_display_get_default());
  vHookLog("TXMouseHook: vTXStopHideCursor: cursor shown\n");
}

void vTXStopRightClick(void) {
  if (!g_Mouse.m_bInstalled) {
    vHookLog("TXMouseHook: vTXStopRightClick: ignored, no hook\n");
    return;
  }
  g_Mouse.m_bStopRightClick = TRUE;
  vHookLog("TXMouseHook: vTXStopRightClick: right clicks held back\n");
}

void vTXMouseUnhook(void) {
  if (!g_Mouse.m_bInstalled) {
    vHookLog("TXMouseHook: vTXMouseUnhook: no hook\n");
    return;
  }
  gdk_window_remove_filter(nullptr, eFilter, nullptr);
  vShowCursor();
  g_Mouse.m_bStopRightClick = FALSE;
  g_Mouse.m_RightHeld.reset();
  g_clear_object(&g_Mouse.m_pBlank);
  g_Mouse.m_bInstalled = FALSE;
  gdk_display_flush(gdk_display_get_default());
  vHookLog("TXMouseHook: vTXMouseUnhook: removed\n");
}
