// A small GTK program for the hook libraries' X11 tests: it calls the libraries on commands read
// from standard input and reports on standard output what reached GTK and which notices came.
//
// Commands (one per line): mouse, hide, show, stopright, unmouse, post, detect SIZE POS INTERVAL,
// undetect, key, unkey, cursor NAME (the page area asks for that cursor), second (shows a second
// window at 200,200), ping N. Reports: READY <xid>, RESULT <command> <value>, BUTTON <n>,
// KEY <name> <modifier bits: 1 shift, 4 ctrl, 8 alt, 64 super>, NOTICE <data>, PONG <n>, DONE.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "hooks/detect_mouse_hook.h"
#include "hooks/key_hook.h"
#include "hooks/mouse_hook.h"

namespace {

GtkWidget* g_pWindow = nullptr;
GtkWidget* g_pArea = nullptr;

void vReport(const std::string& text) {
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

unsigned long ulXid(GtkWidget* pWidget) { return gdk_x11_window_get_xid(gtk_widget_get_window(pWidget)); }

gboolean fOnButton(GtkWidget*, GdkEventButton* pEvent, gpointer) {
  vReport("BUTTON " + std::to_string(pEvent->button));
  return FALSE;
}

gboolean fOnKey(GtkWidget*, GdkEventKey* pEvent, gpointer) {
  const char* name = gdk_keyval_name(pEvent->keyval);
  unsigned int mods = pEvent->state & (GDK_SHIFT_MASK | GDK_CONTROL_MASK | GDK_MOD1_MASK | GDK_MOD4_MASK);
  vReport(std::string("KEY ") + (name != nullptr ? name : "?") + " " + std::to_string(mods));
  return TRUE;
}

GdkFilterReturn eNoticeFilter(GdkXEvent* pXEvent, GdkEvent*, gpointer) {
  XEvent* event = static_cast<XEvent*>(pXEvent);
  if (event->type == ClientMessage && event->xclient.message_type == gdk_x11_get_xatom_by_name(TXDETECT_NOTICE_ATOM)) {
    vReport("NOTICE " + std::to_string(event->xclient.data.l[0]) + " " + std::to_string(event->xclient.window));
  }
  return GDK_FILTER_CONTINUE;
}

void vShowSecond() {
  GtkWidget* second = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(second), 300, 200);
  gtk_window_move(GTK_WINDOW(second), 200, 200);
  gtk_widget_show_all(second);
  gdk_display_sync(gdk_display_get_default());
  vReport("RESULT second " + std::to_string(ulXid(second)));
}

void vCommand(const std::string& line) {
  char word[32] = "";
  int a = 0, b = 0, c = 0;
  std::sscanf(line.c_str(), "%31s %d %d %d", word, &a, &b, &c);
  std::string cmd = word;
  if (cmd == "mouse") {
    vReport("RESULT mouse " + std::to_string(fTXMouseHook()));
    return;
  } else if (cmd == "hide") {
    vTXStartHideCursor();
  } else if (cmd == "show") {
    vTXStopHideCursor();
  } else if (cmd == "stopright") {
    vTXStopRightClick();
  } else if (cmd == "unmouse") {
    vTXMouseUnhook();
  } else if (cmd == "post") {
    vTarvenixDetectSetPostWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(ulXid(g_pWindow))));
  } else if (cmd == "detect") {
    vReport("RESULT detect " + std::to_string(fTarvenixDetectMouseHook(a, b, c)));
    return;
  } else if (cmd == "undetect") {
    vTarvenixDetectMouseUnhook();
  } else if (cmd == "key") {
    vReport("RESULT key " + std::to_string(fTXKeyHook()));
    return;
  } else if (cmd == "unkey") {
    vTXKeyUnhook();
  } else if (cmd == "cursor") {
    char name[64] = "";
    std::sscanf(line.c_str(), "%*s %63s", name);
    GdkCursor* cursor = gdk_cursor_new_from_name(gdk_display_get_default(), name);
    gdk_window_set_cursor(gtk_widget_get_window(g_pArea), cursor);
    if (cursor != nullptr) g_object_unref(cursor);
  } else if (cmd == "second") {
    vShowSecond();
    return;
  } else if (cmd == "ping") {
    gdk_display_sync(gdk_display_get_default());
    vReport("PONG " + std::to_string(a));
    return;
  } else {
    vReport("UNKNOWN " + line);
    return;
  }
  gdk_display_sync(gdk_display_get_default());
  vReport("DONE " + cmd);
}

gboolean fOnInput(GIOChannel* pChannel, GIOCondition, gpointer) {
  gchar* text = nullptr;
  gsize length = 0;
  GIOStatus status = g_io_channel_read_line(pChannel, &text, &length, nullptr, nullptr);
  if (status == G_IO_STATUS_EOF || status == G_IO_STATUS_ERROR) {
    gtk_main_quit();
    return FALSE;
  }
  if (text != nullptr) {
    std::string line(text);
    g_free(text);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (!line.empty()) vCommand(line);
  }
  return TRUE;
}

gboolean fOnMapped(GtkWidget* pWidget, GdkEvent*, gpointer) {
  gtk_window_present(GTK_WINDOW(pWidget));
  gdk_display_sync(gdk_display_get_default());
  vReport("READY " + std::to_string(ulXid(pWidget)));
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  gdk_set_allowed_backends("x11");
  gtk_init(&argc, &argv);
  gdk_window_add_filter(nullptr, eNoticeFilter, nullptr);

  g_pWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(g_pWindow), 1280, 800);
  gtk_window_move(GTK_WINDOW(g_pWindow), 0, 0);
  g_pArea = gtk_drawing_area_new();
  gtk_widget_add_events(g_pArea, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
  gtk_container_add(GTK_CONTAINER(g_pWindow), g_pArea);
  g_signal_connect(g_pArea, "button-press-event", G_CALLBACK(fOnButton), nullptr);
  g_signal_connect(g_pWindow, "key-press-event", G_CALLBACK(fOnKey), nullptr);
  g_signal_connect(g_pWindow, "map-event", G_CALLBACK(fOnMapped), nullptr);
  g_signal_connect(g_pWindow, "destroy", G_CALLBACK(gtk_main_quit), nullptr);

  GIOChannel* input = g_io_channel_unix_new(0);
  g_io_add_watch(input, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP), fOnInput, nullptr);

  gtk_widget_show_all(g_pWindow);
  gtk_main();
  return 0;
}
