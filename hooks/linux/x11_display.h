// The X11 connection of the GTK program the hook libraries run in, and its XInput2 events.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

// The Xlib display GDK opened (gtk_init), or null when there is none or it is not X11.
Display* pGetHookDisplay();

// The XInput extension's major opcode on the display, or -1 without it.
int iGetXiOpcode(Display* pDisplay);

// The XInput2 event carried by an X event (its data fetched by GDK), or null for core and other
// events. iType receives its XI_* type.
XIEvent* pGetXiEvent(XEvent* pEvent, int iXiOpcode, int& iType);
