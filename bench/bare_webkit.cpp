// bare_webkit: a plain WebKitGTK window on one address, the yardstick beside the kiosk in the soak.
// It sets up the engine as the kiosk's view does where memory depends on it (an ephemeral data
// store, the document-viewer cache model, no page cache, no hardware acceleration) and nothing else:
// no hooks, no logs, no policy. It takes the size of the kiosk's screen.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bare_webkit URL\n");
    return 2;
  }
  gtk_init(&argc, &argv);
  WebKitWebsiteDataManager* pData = webkit_website_data_manager_new_ephemeral();
  WebKitWebContext* pContext = webkit_web_context_new_with_website_data_manager(pData);
  g_object_unref(pData);
  webkit_web_context_set_cache_model(pContext, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
  WebKitSettings* pSettings = webkit_settings_new();
  webkit_settings_set_hardware_acceleration_policy(pSettings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  webkit_settings_set_enable_page_cache(pSettings, FALSE);
  GtkWidget* pView =
      GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", pContext, "settings", pSettings, nullptr));
  g_object_unref(pSettings);
  GtkWidget* pWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(pWindow), "bare_webkit");
  gtk_window_set_default_size(GTK_WINDOW(pWindow), 1280, 800);  // the kiosk's screen
  gtk_container_add(GTK_CONTAINER(pWindow), pView);
  g_signal_connect(pWindow, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(pView), argv[1]);
  gtk_widget_show_all(pWindow);
  gtk_main();
  g_object_unref(pContext);
  return 0;
}
