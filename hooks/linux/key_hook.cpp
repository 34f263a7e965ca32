// TXKeyHook on Linux: a GDK event filter that drops the program's key events the key policy
// holds back, core and XInput2 alike.
#include "hooks/key_hook.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>

#include <bitset>

#include "hooks/hook_log.h"
#include "hooks/key_policy.h"
#include "hooks/linux/x11_display.h"

namespace {

struct CKeyHookState {
  BOOL m_bInstalled = FALSE;
  int m_iXiOpcode = -1;
  // Key codes whose press was dropped: their release is dropped too.
  std::bitset<256> m_Held;
};
CKeyHookState g_Key;

// The policy's key for an X key code, from its unshifted symbol in the first group.
int iPolicyKey(Display* pDisplay, unsigned int uKeycode) {
  KeySym sym = XkbKeycodeToKeysym(pDisplay, static_cast<KeyCode>(uKeycode), 0, 0);
  if (sym >= XK_a && sym <= XK_z) return static_cast<int>('A' + (sym - XK_a));
  if (sym >= XK_F1 && sym <= XK_F24) return HK_F1 + static_cast<int>(sym - XK_F1);
  switch (sym) {
    case XK_Tab:
    case XK_ISO_Left_Tab: return HK_TAB;
    case XK_Escape: return HK_ESCAPE;
    case XK_space: return HK_SPACE;
    case XK_Super_L:
    case XK_Super_R:
    case XK_Hyper_L:
    case XK_Hyper_R: return HK_SUPER;
    case XK_Menu: return HK_MENU;
    case XK_Shift_L:
    case XK_Shift_R:
    case XK_Control_L:
    case XK_Control_R:
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R:
    case XK_ISO_Level3_Shift:
    case XK_Mode_switch:
    case XK_Caps_Lock:
    case XK_Num_Lock: return HK_MODIFIER;
    default: return HK_OTHER;
  }
}

// The policy's modifier bits from an X modifier state (Alt on Mod1, Super on Mod4 as the usual
// keyboard maps place them).
int iPolicyModifiers(unsigned int uState) {
  int mods = 0;
  if (uState & ShiftMask) mods |= HK_SHIFT;
  if (uState & ControlMask) mods |= HK_CTRL;
  if (uState & Mod1Mask) mods |= HK_ALT;
  if (uState & Mod4Mask) mods |= HK_WIN;
  return mods;
}

BOOL fDropKey(BOOL bPress, unsigned int uKeycode, unsigned int uState) {
  size_t slot = uKeycode & 0xFF;
  if (!bPress) {
    if (!g_Key.m_Held.test(slot)) return FALSE;
    g_Key.m_Held.reset(slot);
    return TRUE;
  }
  Display* display = pGetHookDisplay();
  if (display == nullptr || !fHoldBackKey(iPolicyKey(display, uKeycode), iPolicyModifiers(uState))) return FALSE;
  g_Key.m_Held.set(slot);
  return TRUE;
}

GdkFilterReturn eFilter(GdkXEvent* pXEvent, GdkEvent*, gpointer) {
  XEvent* event = static_cast<XEvent*>(pXEvent);
  int type = 0;
  XIEvent* xi = pGetXiEvent(event, g_Key.m_iXiOpcode, type);
  if (xi != nullptr) {
    if (type != XI_KeyPress && type != XI_KeyRelease) return GDK_FILTER_CONTINUE;
    XIDeviceEvent* key = reinterpret_cast<XIDeviceEvent*>(xi);
    // A repeated press of a held-back key is held back again; its release only once.
    BOOL drop = fDropKey(type == XI_KeyPress, static_cast<unsigned int>(key->detail),
                         static_cast<unsigned int>(key->mods.effective));
    return drop ? GDK_FILTER_REMOVE : GDK_FILTER_CONTINUE;
  }
  if (event->type == KeyPress || event->type == KeyRelease) {
    return fDropKey(event->type == KeyPress, event->xkey.keycode, event->xkey.state) ? GDK_FILTER_REMOVE
                                                                                     : GDK_FILTER_CONTINUE;
  }
  return GDK_FILTER_CONTINUE;
}

}  // namespace

BOOL fTXKeyHook(void) {
  if (g_Key.m_bInstalled) {
    vHookLog("TXKeyHook: fTXKeyHook: already installed\n");
    return TRUE;
  }
  Display* display = pGetHookDisplay();
  if (display == nullptr) {
    vHookLog("TXKeyHook: fTXKeyHook: failed, no X11 display\n");
    return FALSE;
  }
  g_Key.m_iXiOpcode = iGetXiOpcode(display);
  g_Key.m_Held.reset();
  gdk_window_add_filter(nullptr, eFilter, nullptr);
  g_Key.m_bInstalled = TRUE;
  vHookLog("TXKeyHook: fTXKeyHook: installed\n");
  return TRUE;
}

void vTXKeyUnhook(void) {
  if (!g_Key.m_bInstalled) {
    vHookLog("TXKeyHook: vTXKeyUnhook: no hook\n");
    return;
  }
  gdk_window_remove_filter(nullptr, eFilter, nullptr);
  g_Key.m_bInstalled = FALSE;
  vHookLog("TXKeyHook: vTXKeyUnhook: removed\n");
}
