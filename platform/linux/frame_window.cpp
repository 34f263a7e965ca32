// Linux frame window: a GtkWindow with a vertical box (menu bar, child), GLib timers and the
// session-end signals SIGTERM, SIGHUP and SIGINT delivered on the main loop.
#include "platform/frame_window.h"

#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <signal.h>

#include <atomic>
#include <map>
#include <new>
#include <vector>

#include "platform/message_loop.h"

namespace platform {

struct CFrameWindow::CMenuDef {
  struct CPopup {
    std::string strText;
    std::vector<std::pair<std::string, unsigned int>> items;
  };
  std::vector<CPopup> popups;
};

struct CFrameWindow::CLiveness {
  std::atomic<CFrameWindow*> pFrame{nullptr};  // the frame while its window exists
};

struct CFrameWindow::CImpl {
  GtkWidget* pWindow = nullptr;
  GtkWidget* pBox = nullptr;
  GtkWidget* pMenuBar = nullptr;
  GtkWidget* pChild = nullptr;
  std::map<unsigned int, guint> timers;
  std::vector<guint> signalSources;
  BOOL bMainWindow = FALSE;
  BOOL bDestroying = FALSE;

  // The window's signals and sources, each with the frame as its data, and the frame's handlers
  // as they are reached from them (none while the window is being destroyed).
  static gboolean fOnDeleteEvent(GtkWidget*, GdkEvent*, gpointer pData);
  static gboolean fOnFocusIn(GtkWidget*, GdkEvent*, gpointer pData);
  static gboolean fOnTimer(gpointer pData);
  static gboolean fOnSessionSignal(gpointer pData);
  static void vOnMenuActivate(GtkMenuItem*, gpointer pData);
  static BOOL fLive(CFrameWindow* pFrame) { return pFrame->m_pImpl && !pFrame->m_pImpl->bDestroying; }
  static void vClose(CFrameWindow* pFrame);
  static void vCommand(CFrameWindow* pFrame, unsigned int uCommand);
};

namespace {

struct CTimerData {
  CFrameWindow* pFrame;
  unsigned int uId;
};

struct CCommandData {
  CFrameWindow* pFrame;
  unsigned int uCommand;
};

// Windows menu texts mark the mnemonic with "&" ("&&" is a literal "&"); GTK shows the text
// without one, so no key opens the menu.
std::string strMenuLabel(const std::string& strText) {
  std::string strLabel;
  for (size_t i = 0; i < strText.size(); ++i) {
    if (strText[i] == '&') {
      if (i + 1 < strText.size() && strText[i + 1] == '&') strLabel += '&', ++i;
      continue;
    }
    strLabel += strText[i];
  }
  return strLabel;
}

gboolean fOnKeyPress(GtkWidget*, GdkEventKey* pEvent, gpointer) {
  // F10 would open the menu bar (gtk-menu-bar-accel); the keyboard never opens the menu.
  return pEvent->keyval == GDK_KEY_F10 ? TRUE : FALSE;
}

void vDeleteTimer(gpointer pData) { delete static_cast<CTimerData*>(pData); }

void vDeleteCommand(gpointer pData, GClosure*) { delete static_cast<CCommandData*>(pData); }

// The monitor the window is on (or will be: the primary one), in root-window coordinates.
GdkMonitor* pMonitorOf(GtkWidget* pWindow) {
  GdkDisplay* pDisplay = gtk_widget_get_display(pWindow);
  GdkWindow* pGdkWindow = gtk_widget_get_window(pWindow);
  GdkMonitor* pMonitor = pGdkWindow ? gdk_display_get_monitor_at_window(pDisplay, pGdkWindow) : nullptr;
  if (pMonitor == nullptr) pMonitor = gdk_display_get_primary_monitor(pDisplay);
  if (pMonitor == nullptr) pMonitor = gdk_display_get_monitor(pDisplay, 0);
  return pMonitor;
}

guint32 uServerTime(GtkWidget* pWindow) {
  GdkWindow* pGdkWindow = gtk_widget_get_window(pWindow);
  if (pGdkWindow != nullptr && GDK_IS_X11_WINDOW(pGdkWindow)) return gdk_x11_get_server_time(pGdkWindow);
  return GDK_CURRENT_TIME;
}

// The frame's own menus and dialogs stay above it, as windows owned by a top-most window do on
// Windows. Without a window manager, raising the frame would bury them (an open menu would no
// longer take clicks), so they are raised again after it.
void vRaiseOwnedWindows(GtkWidget* pFrame) {
  GList* pList = gtk_window_list_toplevels();
  for (GList* p = pList; p != nullptr; p = p->next) {
    GtkWindow* pWindow = GTK_WINDOW(p->data);
    GdkWindow* pGdkWindow = gtk_widget_get_window(GTK_WIDGET(pWindow));
    if (GTK_WIDGET(pWindow) == pFrame || pGdkWindow == nullptr || !gtk_widget_get_visible(GTK_WIDGET(pWindow)))
      continue;
    if (gtk_window_get_window_type(pWindow) == GTK_WINDOW_POPUP ||
        gtk_window_get_transient_for(pWindow) == GTK_WINDOW(pFrame))
      gdk_window_raise(pGdkWindow);
  }
  g_list_free(pList);
}

}  // namespace

gboolean CFrameWindow::CImpl::fOnDeleteEvent(GtkWidget*, GdkEvent*, gpointer pData) {
  vClose(static_cast<CFrameWindow*>(pData));
  return TRUE;  // the frame decides about destruction itself
}

gboolean CFrameWindow::CImpl::fOnFocusIn(GtkWidget*, GdkEvent*, gpointer pData) {
  auto* pFrame = static_cast<CFrameWindow*>(pData);
  if (fLive(pFrame)) pFrame->OnSetFocus();
  return FALSE;
}

gboolean CFrameWindow::CImpl::fOnTimer(gpointer pData) {
  auto* pTimer = static_cast<CTimerData*>(pData);
  if (fLive(pTimer->pFrame)) pTimer->pFrame->OnTimer(pTimer->uId);
  return G_SOURCE_CONTINUE;  // a timer killed in OnTimer is destroyed already
}

gboolean CFrameWindow::CImpl::fOnSessionSignal(gpointer pData) {
  auto* pFrame = static_cast<CFrameWindow*>(pData);
  if (fLive(pFrame)) pFrame->OnEndSession(TRUE);
  return G_SOURCE_CONTINUE;
}

void CFrameWindow::CImpl::vOnMenuActivate(GtkMenuItem*, gpointer pData) {
  auto* pCommand = static_cast<CCommandData*>(pData);
  vCommand(pCommand->pFrame, pCommand->uCommand);
}

void CFrameWindow::CImpl::vClose(CFrameWindow* pFrame) {
  if (fLive(pFrame)) pFrame->OnClose();
}

void CFrameWindow::CImpl::vCommand(CFrameWindow* pFrame, unsigned int uCommand) {
  if (!fLive(pFrame)) return;
  if (pFrame->OnCommand(uCommand)) return;
  if (uCommand == FRAME_CMD_EXIT)
    pFrame->OnClose();
  else if (uCommand == FRAME_CMD_ABOUT)
    pFrame->vShowAboutDialog();
}

CFrameWindow::CFrameWindow() : m_pLiveness(std::make_shared<CLiveness>()), m_pMenu(new CMenuDef) {}

CFrameWindow::~CFrameWindow() {
  if (m_pImpl != nullptr) vDestroyWindow();
}

void CFrameWindow::vAddMenuPopup(const char* pszText) { m_pMenu->popups.push_back({pszText ? pszText : "", {}}); }

void CFrameWindow::vAddMenuItem(const char* pszText, unsigned int uCommand) {
  if (m_pMenu->popups.empty()) return;
  m_pMenu->popups.back().items.emplace_back(pszText ? pszText : "", uCommand);
}

void CFrameWindow::vSetAboutText(const char* pszTitle, const char* pszText) {
  m_strAboutTitle = pszTitle ? pszTitle : "";
  m_strAboutText = pszText ? pszText : "";
}

BOOL CFrameWindow::fCreate(const char* pszTitle, const char* pszClassName, BOOL bMainWindow) {
  if (m_pImpl != nullptr || !fIsUiThread()) return FALSE;
  m_pImpl.reset(new (std::nothrow) CImpl);
  if (m_pImpl == nullptr) return FALSE;
  m_pImpl->bMainWindow = bMainWindow;
  m_pLiveness->pFrame = this;

  GtkWidget* pWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  m_pImpl->pWindow = pWindow;
  gtk_window_set_title(GTK_WINDOW(pWindow), pszTitle ? pszTitle : "");
  if (pszClassName != nullptr && *pszClassName != '\0') {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_window_set_wmclass(GTK_WINDOW(pWindow), pszClassName, pszClassName);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_window_set_role(GTK_WINDOW(pWindow), pszClassName);
  }
  gtk_window_set_default_size(GTK_WINDOW(pWindow), 800, 600);
  g_signal_connect(pWindow, "delete-event", G_CALLBACK(CImpl::fOnDeleteEvent), this);
  g_signal_connect(pWindow, "key-press-event", G_CALLBACK(fOnKeyPress), this);
  g_signal_connect(pWindow, "focus-in-event", G_CALLBACK(CImpl::fOnFocusIn), this);

  m_pImpl->pBox = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_container_add(GTK_CONTAINER(pWindow), m_pImpl->pBox);
  if (!m_pMenu->popups.empty()) {
    GtkWidget* pMenuBar = gtk_menu_bar_new();
    for (const auto& popup : m_pMenu->popups) {
      GtkWidget* pTop = gtk_menu_item_new_with_label(strMenuLabel(popup.strText).c_str());
      GtkWidget* pMenu = gtk_menu_new();
      for (const auto& item : popup.items) {
        GtkWidget* pItem = gtk_menu_item_new_with_label(strMenuLabel(item.first).c_str());
        g_signal_connect_data(pItem, "activate", G_CALLBACK(CImpl::vOnMenuActivate),
                              new CCommandData{this, item.second}, vDeleteCommand, GConnectFlags(0));
        gtk_menu_shell_append(GTK_MENU_SHELL(pMenu), pItem);
      }
      gtk_menu_item_set_submenu(GTK_MENU_ITEM(pTop), pMenu);
      gtk_menu_shell_append(GTK_MENU_SHELL(pMenuBar), pTop);
    }
    gtk_box_pack_start(GTK_BOX(m_pImpl->pBox), pMenuBar, FALSE, FALSE, 0);
    m_pImpl->pMenuBar = pMenuBar;
  }
  gtk_widget_show_all(m_pImpl->pBox);
  gtk_widget_realize(pWindow);

  if (bMainWindow) {
    for (int iSignal : {SIGTERM, SIGHUP, SIGINT})
      m_pImpl->signalSources.push_back(g_unix_signal_add(iSignal, CImpl::fOnSessionSignal, this));
  }

  if (OnCreate() == -1) {
    vDestroyWindow();
    return FALSE;
  }
  return TRUE;
}

BOOL CFrameWindow::fIsWindow() const { return m_pImpl != nullptr; }

HWINDOW CFrameWindow::hGetWindow() const { return m_pImpl ? m_pImpl->pWindow : nullptr; }

BOOL CFrameWindow::fSetChild(HWINDOW hChild) {
  if (m_pImpl == nullptr || hChild == nullptr) return FALSE;
  GtkWidget* pChild = static_cast<GtkWidget*>(hChild);
  if (m_pImpl->pChild != nullptr) gtk_widget_destroy(m_pImpl->pChild);
  m_pImpl->pChild = pChild;
  gtk_box_pack_start(GTK_BOX(m_pImpl->pBox), pChild, TRUE, TRUE, 0);
  gtk_widget_show(pChild);
  return TRUE;
}

void CFrameWindow::vShow() {
  if (m_pImpl) gtk_widget_show(m_pImpl->pWindow);
}

void CFrameWindow::vSetCaptionAndBorder(BOOL bOn) {
  if (m_pImpl) gtk_window_set_decorated(GTK_WINDOW(m_pImpl->pWindow), bOn ? TRUE : FALSE);
}

void CFrameWindow::vSetMenuBarVisible(BOOL bOn) {
  if (m_pImpl == nullptr || m_pImpl->pMenuBar == nullptr) return;
  gtk_widget_set_visible(m_pImpl->pMenuBar, bOn ? TRUE : FALSE);
}

void CFrameWindow::vShowMaximized() {
  if (m_pImpl == nullptr) return;
  GtkWindow* pWindow = GTK_WINDOW(m_pImpl->pWindow);
  GdkMonitor* pMonitor = pMonitorOf(m_pImpl->pWindow);
  GdkRectangle rect = {0, 0, 0, 0};
  BOOL bDecorated = gtk_window_get_decorated(pWindow);
  if (pMonitor != nullptr) {
    if (bDecorated)
      gdk_monitor_get_workarea(pMonitor, &rect);
    else
      gdk_monitor_get_geometry(pMonitor, &rect);
  }
  // With no window manager nobody acts on the maximise or full-screen state, so the window is
  // placed over the monitor by itself as well; a window manager then applies the state.
  if (rect.width > 0 && rect.height > 0) {
    gtk_window_move(pWindow, rect.x, rect.y);
    gtk_window_resize(pWindow, rect.width, rect.height);
  }
  if (bDecorated)
    gtk_window_maximize(pWindow);
  else
    gtk_window_fullscreen(pWindow);
  gtk_widget_show(m_pImpl->pWindow);
}

void CFrameWindow::vFullScreen() {
  vSetCaptionAndBorder(FALSE);
  vSetMenuBarVisible(FALSE);
  vShowMaximized();
}

void CFrameWindow::vSetTopMost(BOOL bTopMost) {
  if (m_pImpl == nullptr) return;
  gtk_window_set_keep_above(GTK_WINDOW(m_pImpl->pWindow), bTopMost ? TRUE : FALSE);
  GdkWindow* pGdkWindow = gtk_widget_get_window(m_pImpl->pWindow);
  if (bTopMost && pGdkWindow != nullptr) {
    gdk_window_raise(pGdkWindow);  // no window manager: stack it now
    vRaiseOwnedWindows(m_pImpl->pWindow);
  }
}

BOOL CFrameWindow::fForceForeground() {
  if (m_pImpl == nullptr) return FALSE;
  // present shows, raises and asks for the focus (_NET_ACTIVE_WINDOW with a real timestamp, so a
  // window manager's focus-stealing prevention lets it through; XSetInputFocus with none).
  gtk_window_present_with_time(GTK_WINDOW(m_pImpl->pWindow), uServerTime(m_pImpl->pWindow));
  vRaiseOwnedWindows(m_pImpl->pWindow);
  return TRUE;
}

void CFrameWindow::vForceActive() { fForceForeground(); }

unsigned int CFrameWindow::uSetTimer(unsigned int uId, unsigned int uElapseMs) {
  if (m_pImpl == nullptr || uId == 0 || m_pImpl->bDestroying) return 0;
  fKillTimer(uId);
  auto* pData = new (std::nothrow) CTimerData{this, uId};
  if (pData == nullptr) return 0;
  guint uSource = g_timeout_add_full(G_PRIORITY_DEFAULT, uElapseMs, CImpl::fOnTimer, pData, vDeleteTimer);
  if (uSource == 0) return 0;
  m_pImpl->timers[uId] = uSource;
  return uId;
}

BOOL CFrameWindow::fKillTimer(unsigned int uId) {
  if (m_pImpl == nullptr) return FALSE;
  auto it = m_pImpl->timers.find(uId);
  if (it == m_pImpl->timers.end()) return FALSE;
  g_source_remove(it->second);
  m_pImpl->timers.erase(it);
  return TRUE;
}

BOOL CFrameWindow::fPostClose() {
  // Other threads copy the liveness and read it, never change it; the UI thread changes it only
  // as the window comes and goes, and looks again when the close arrives.
  std::shared_ptr<CLiveness> pLiveness = m_pLiveness;
  if (pLiveness->pFrame.load() == nullptr) return FALSE;
  return fPostToUiThread([pLiveness]() {
    if (CFrameWindow* pFrame = pLiveness->pFrame.load()) CImpl::vClose(pFrame);
  });
}

void CFrameWindow::vDestroyWindow() {
  if (m_pImpl == nullptr || m_pImpl->bDestroying) return;
  m_pImpl->bDestroying = TRUE;
  for (auto& timer : m_pImpl->timers) g_source_remove(timer.second);
  m_pImpl->timers.clear();
  for (guint uSource : m_pImpl->signalSources) g_source_remove(uSource);
  m_pImpl->signalSources.clear();
  OnDestroy();
  gtk_widget_destroy(m_pImpl->pWindow);  // destroys the child with it
  BOOL bMainWindow = m_pImpl->bMainWindow;
  m_pImpl.reset();
  m_pLiveness->pFrame = nullptr;
  PostNcDestroy();  // may delete this
  if (bMainWindow) vQuitMessageLoop(0);
}

void CFrameWindow::vShowAboutDialog() {
  GtkWindow* pParent = m_pImpl ? GTK_WINDOW(m_pImpl->pWindow) : nullptr;
  GtkWidget* pDialog = gtk_dialog_new_with_buttons(m_strAboutTitle.c_str(), pParent,
                                                   GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                                   "OK", GTK_RESPONSE_OK, nullptr);
  GtkWidget* pContent = gtk_dialog_get_content_area(GTK_DIALOG(pDialog));
  GtkWidget* pRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  gtk_container_set_border_width(GTK_CONTAINER(pRow), 12);
  gtk_box_pack_start(GTK_BOX(pRow), gtk_image_new_from_icon_name("dialog-information", GTK_ICON_SIZE_DIALOG), FALSE,
                     FALSE, 0);
  gtk_box_pack_start(GTK_BOX(pRow), gtk_label_new(m_strAboutText.c_str()), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(pContent), pRow, TRUE, TRUE, 0);
  gtk_dialog_set_default_response(GTK_DIALOG(pDialog), GTK_RESPONSE_OK);
  gtk_window_set_keep_above(GTK_WINDOW(pDialog), TRUE);
  gtk_widget_show_all(pDialog);
  gtk_dialog_run(GTK_DIALOG(pDialog));
  gtk_widget_destroy(pDialog);
}

void CFrameWindow::OnSetFocus() {
  if (m_pImpl && m_pImpl->pChild) gtk_widget_grab_focus(m_pImpl->pChild);
}

}  // namespace platform
