// The GDK-owned X11 display and XInput2 event access for the Linux hook libraries.
#include "hooks/linux/x11_display.h"

#include <gdk/gdk.h>
#include <gdk/gdkx.h>

Display* pGetHookDisplay() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return nullptr;
  return GDK_DISPLAY_XDISPLAY(display);
}

int iGetXiOpcode(Display* pDisplay) {
  int opcode = 0, event = 0, error = 0;
  // GDK has already agreed on the XInput 2 version with the server; asking again with another
  // version is an error on some servers, so only the extension's presence is checked here.
  if (!XQueryExtension(pDisplay, "XInputExtension", &opcode, &event, &error)) return -1;
  return opcode;
}

XIEvent* pGetXiEvent(XEvent* pEvent, int iXiOpcode, int& iType) {
  iType = 0;
  if (pEvent->type != GenericEvent || pEvent->xcookie.extension != iXiOpcode) return nullptr;
  // GDK fetches the cookie's data before it runs the filters.
  if (pEvent->xcookie.data == nullptr) return nullptr;
  iType = pEvent->xcookie.evtype;
  return static_cast<XIEvent*>(pEvent->xcookie.data);
}
