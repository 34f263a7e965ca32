// Linux HTML view: a WebKitGTK web view. The main frame's events come from the UI-process API
// (load-changed, load-failed); frames inside the page report theirs through the web-process
// extension beside the program (webext/libtxwebext.so, platform/linux/html_view_extension.cpp).
#include "platform/html_view.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/frame_window.h"
#include "platform/linux/engine_address.h"
#include "platform/module_path.h"

namespace platform {

struct CHtmlView::CImpl {
  GtkWidget* pWebView = nullptr;
  BOOL bStoppedByHandler = FALSE;  // BeforeNavigate2 cancelled the load being stopped
  BOOL bFailed = FALSE;            // the main frame's load failed: no DocumentComplete for it
  // Addresses of the program's Navigate2 requests whose load has not started yet.
  std::vector<std::string> announced;
  // The address of the latest navigation the engine's policy was asked about: the one a load of
  // the main frame that starts next goes to (the engine still names the page being left then).
  std::string strNextUri;
  // Notices arrive on a connection of the view's own to the X server, at an unmapped window.
  std::string strNoticeAtom;
  Display* pNoticeDisplay = nullptr;
  Window noticeWindow = 0;
  Atom noticeAtom = 0;
  guint uNoticeSource = 0;
  int iXiOpcode = -1;       // the XInput extension's major opcode on GDK's display
  BOOL bRawFilter = FALSE;  // the right-button filter is installed
  // Pop-ups of the page: their navigations are asked of the view as well.
  std::vector<GtkWidget*> popups;
  // The session's data being cleared: a Navigate2 meanwhile waits for it (strPendingUrl).
  struct CPending* pClearing = nullptr;
  std::string strPendingUrl;
  BOOL bPendingNavigate = FALSE;
  struct CPending* pSnapshot = nullptr;  // a snapshot on its way
  // The left press that may become the first of a double click, and what became of the last one.
  BOOL bClickPending = FALSE;
  guint32 uClickTime = 0;
  double dClickX = 0, dClickY = 0;
  BOOL bClickDropped = FALSE;

  // The engine's signals, each with the view as its data. A handler may destroy the view (a
  // close, for example): after every call into the view, m_pImpl says whether it still exists.
  static void vOnLoadChanged(WebKitWebView* pWebView, WebKitLoadEvent eEvent, gpointer pData);
  static gboolean fOnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* pszUri, GError* pError, gpointer pData);
  static gboolean fOnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* pDecision, WebKitPolicyDecisionType eType,
                                  gpointer pData);
  BOOL fHttpError(CHtmlView* pView, WebKitWebView* pWebView, WebKitResponsePolicyDecision* pDecision);
  static void vOnClose(WebKitWebView*, gpointer pData);
  static GtkWidget* pOnCreate(WebKitWebView* pWebView, WebKitNavigationAction*, gpointer pData);
  static gboolean fOnUserMessage(WebKitWebView*, WebKitUserMessage* pMessage, gpointer pData);
  static GdkFilterReturn eOnRawButton(GdkXEvent* pXEvent, GdkEvent*, gpointer pData);
  static gboolean fOnButton(GtkWidget*, GdkEventButton* pEvent, gpointer pData);
  static gboolean fOnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*, gpointer pData);
  static gboolean fOnScroll(GtkWidget*, GdkEventScroll*, gpointer pData);
  static void vOnSizeAllocate(GtkWidget*, GdkRectangle*, gpointer pData);
  static gboolean fOnNoticeConnection(gint, GIOCondition, gpointer pData);
  static void vOnDestroy(GtkWidget* pWidget, gpointer pData);
  static void vOnCleared(GObject* pSource, GAsyncResult* pResult, gpointer pData);
  static void vOnSnapshot(GObject* pSource, GAsyncResult* pResult, gpointer pData);

  // Entry points into the view's handlers.
  static void vBeforeNavigate2(CHtmlView* pView, uintptr_t uFrameId, const std::string& strUrl, BOOL* pbCancel);
  static BOOL fMouse(CHtmlView* pView, MouseMessage eMessage);

  MouseMessage eLeftPress(GtkWidget* pWidget, const GdkEventButton* pEvent);

  // The kiosk's set-up of every web view of the engine, the view's own and its pop-ups': no
  // dialogs of the engine's own, the view's decisions on the context menu and on new windows.
  static void vSetUpEngine(GtkWidget* pWebView, CHtmlView* pView);
  void vDestroyPopups(CHtmlView* pView);

  BOOL fOpenNotices(GtkWidget* pWidget);
  void vCloseNotices();
  void vRemoveRawFilter(CHtmlView* pView);
  // The view is going: pop-ups and requests on their way no longer reach it.
  void vDetach(CHtmlView* pView);
};

// An asynchronous request of the view to the engine; the view may be gone when it is answered.
struct CPending {
  CHtmlView* pView;
};

namespace {

// Names of the messages of the web-process extension (see html_view_extension.cpp).
const char* const HTML_MSG_FRAME_COMMITTED = "tx-frame-committed";
const char* const HTML_MSG_FRAME_LOADED = "tx-frame-loaded";
const char* const HTML_MSG_WINDOW_CLOSE = "tx-window-close";
const char* const HTML_NO_SCROLL_STYLE = "html,body{overflow:hidden !important;}";

// One engine context for every view of the process: ephemeral (nothing stored on disk, no disk
// cache), no memory cache, the extension directory beside the program.
WebKitWebContext* pSharedContext() {
  static WebKitWebContext* s_pContext = nullptr;
  if (s_pContext != nullptr) return s_pContext;
  WebKitWebsiteDataManager* pData = webkit_website_data_manager_new_ephemeral();
  s_pContext = webkit_web_context_new_with_website_data_manager(pData);
  g_object_unref(pData);
  webkit_web_context_set_cache_model(s_pContext, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
  char szPath[4096];
  unsigned int uLength = uGetModuleFileName(szPath, sizeof szPath);
  if (uLength > 0 && uLength < sizeof szPath) {
    std::string strDir(szPath, uLength);
    strDir = strDir.substr(0, strDir.find_last_of('/')) + "/webext";
    webkit_web_context_set_web_extensions_directory(s_pContext, strDir.c_str());
  }
  // Downloads never start: a response the engine cannot show is ignored in decide-policy, and
  // any download the engine starts by itself is cancelled here.
  g_signal_connect(
      s_pContext, "download-started",
      G_CALLBACK(+[](WebKitWebContext*, WebKitDownload* pDownload, gpointer) { webkit_download_cancel(pDownload); }),
      nullptr);
  return s_pContext;
}

CHtmlView* pViewOf(gpointer pData) { return static_cast<CHtmlView*>(pData); }

std::string strUri(WebKitWebView* pWebView) {
  const char* pszUri = webkit_web_view_get_uri(pWebView);
  return pszUri ? pszUri : "";
}

// No dialogs of the engine's own: each request is refused quietly. A server that asks for
// credentials gets none, and its answer (a 401 page) arrives as any other response.
gboolean fOnAuthenticate(WebKitWebView*, WebKitAuthenticationRequest* pRequest, gpointer) {
  webkit_authentication_request_authenticate(pRequest, nullptr);
  return TRUE;
}
gboolean fOnPermission(WebKitWebView*, WebKitPermissionRequest* pRequest, gpointer) {
  webkit_permission_request_deny(pRequest);
  return TRUE;
}
gboolean fOnPrint(WebKitWebView*, WebKitPrintOperation*, gpointer) { return TRUE; }
gboolean fOnFileChooser(WebKitWebView*, WebKitFileChooserRequest* pRequest, gpointer) {
  webkit_file_chooser_request_cancel(pRequest);
  return TRUE;
}

// Right-button presses are decided before GDK sees them, in an event filter installed when the
// view is created: the mouse hook library, installed later, holds them back in a filter of its
// own, so GTK's button signal would never carry them and the refusal would not be logged.
BOOL fRightPressOverView(GtkWidget* pWebView, int iXiOpcode, XEvent* pEvent) {
  Window window = 0;
  double dX = 0, dY = 0;
  if (pEvent->type == GenericEvent && pEvent->xcookie.extension == iXiOpcode && pEvent->xcookie.data != nullptr &&
      pEvent->xcookie.evtype == XI_ButtonPress) {
    const XIDeviceEvent* pDevice = static_cast<const XIDeviceEvent*>(pEvent->xcookie.data);
    if (pDevice->detail != 3 || (pDevice->flags & XIPointerEmulated)) return FALSE;
    window = pDevice->event;
    dX = pDevice->event_x;
    dY = pDevice->event_y;
  } else if (pEvent->type == ButtonPress && pEvent->xbutton.button == 3) {
    window = pEvent->xbutton.window;
    dX = pEvent->xbutton.x;
    dY = pEvent->xbutton.y;
  } else {
    return FALSE;
  }
  if (!gtk_widget_get_realized(pWebView) || !gtk_widget_get_visible(pWebView)) return FALSE;
  GdkWindow* pTarget = gdk_x11_window_lookup_for_display(gdk_display_get_default(), window);
  if (pTarget == nullptr) return FALSE;
  // The event is relative to the X window it was sent to; find the web view's place in it.
  GdkWindow* pViewWindow = gtk_widget_get_window(pWebView);
  int iLeft = 0, iTop = 0;
  GtkAllocation allocation;
  gtk_widget_get_allocation(pWebView, &allocation);
  if (gtk_widget_get_has_window(pWebView)) {
    allocation.x = 0;
    allocation.y = 0;
  }
  for (GdkWindow* p = pViewWindow; p != nullptr && p != pTarget; p = gdk_window_get_parent(p)) {
    int iX = 0, iY = 0;
    gdk_window_get_position(p, &iX, &iY);
    iLeft += iX;
    iTop += iY;
    if (gdk_window_get_parent(p) == nullptr) return FALSE;  // the event's window does not hold the view
  }
  if (pViewWindow == nullptr) return FALSE;
  dX -= iLeft + allocation.x;
  dY -= iTop + allocation.y;
  return dX >= 0 && dY >= 0 && dX < allocation.width && dY < allocation.height;
}

}  // namespace

void CHtmlView::CImpl::vBeforeNavigate2(CHtmlView* pView, uintptr_t uFrameId, const std::string& strUrl,
                                        BOOL* pbCancel) {
  if (pView->m_pImpl == nullptr) return;
  std::vector<unsigned char> postedData;
  pView->BeforeNavigate2(uFrameId, strUrl, 0, std::string(), postedData, std::string(), pbCancel);
}

BOOL CHtmlView::CImpl::fMouse(CHtmlView* pView, MouseMessage eMessage) {
  if (pView->m_pImpl == nullptr || eMessage == MOUSEMSG_OTHER) return FALSE;
  return pView->PreTranslateMouse(eMessage);
}

void CHtmlView::CImpl::vOnLoadChanged(WebKitWebView* pWebView, WebKitLoadEvent eEvent, gpointer pData) {
  CHtmlView* pView = pViewOf(pData);
  CImpl* pImpl = pView->m_pImpl.get();
  uintptr_t uMain = pView->uMainFrameId();
  switch (eEvent) {
    case WEBKIT_LOAD_STARTED: {
      pImpl->bFailed = FALSE;
      std::string strUrl = pImpl->strNextUri.empty() ? strUri(pWebView) : pImpl->strNextUri;
      pImpl->strNextUri.clear();
      // The load of the program's latest Navigate2, announced when it was asked for. The engine
      // may still name the page before it here, so it is not told apart by its address.
      if (!pImpl->announced.empty()) {
        pImpl->announced.clear();
        break;
      }
      BOOL bCancel = FALSE;
      vBeforeNavigate2(pView, uMain, strUrl, &bCancel);
      if (bCancel && pView->m_pImpl != nullptr) {
        pImpl->bStoppedByHandler = TRUE;
        webkit_web_view_stop_loading(pWebView);
      }
      break;
    }
    case WEBKIT_LOAD_COMMITTED:
      if (pImpl->announced.empty()) pView->NavigateComplete2(uMain, strUri(pWebView));
      break;
    case WEBKIT_LOAD_FINISHED:
      // The page that a Navigate2 replaces may still finish before the new load starts.
      if (!pImpl->announced.empty()) break;
      if (!pImpl->bFailed) pView->DocumentComplete(uMain, strUri(pWebView));
      if (pView->m_pImpl != nullptr) pImpl->bFailed = FALSE;
      break;
    default: break;
  }
}

gboolean CHtmlView::CImpl::fOnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* pszUri, GError* pError,
                                         gpointer pData) {
  CHtmlView* pView = pViewOf(pData);
  CImpl* pImpl = pView->m_pImpl.get();
  pImpl->bFailed = TRUE;
  // A load that fails before it starts ends its announcement; a page being replaced fails unseen.
  std::string strFailed = pszUri ? pszUri : "";
  auto it = std::find(pImpl->announced.begin(), pImpl->announced.end(), strFailed);
  if (it != pImpl->announced.end())
    pImpl->announced.erase(pImpl->announced.begin(), it + 1);
  else if (!pImpl->announced.empty())
    return TRUE;
  if (pImpl->bStoppedByHandler) {
    pImpl->bStoppedByHandler = FALSE;
    return TRUE;
  }
  // A load given up for another navigation, or a response turned away by the download rule,
  // is no failure of the page.
  if (g_error_matches(pError, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
      g_error_matches(pError, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE))
    return TRUE;
  BOOL bCancel = FALSE;
  pView->NavigateError(pView->uMainFrameId(), strFailed, std::string(), static_cast<uint32_t>(pError->code), &bCancel);
  return bCancel ? TRUE : FALSE;  // TRUE: handled, the engine shows no error page
}

// The navigation policy is asked for every frame of the page, for a server's redirect and before
// anything is fetched: the place where an address can be refused. It tells no frame from another;
// a load of the main frame starts right after its own question, so the latest address the page's
// view was asked about and allowed is the one that load goes to (redirections keep the navigation
// they belong to).
// An HTTP error status of the page fails its navigation, as the Windows engine's does: the
// engine itself shows whatever page the server sent. Cancelled, the response is ignored, so the
// page before stays and nothing of the failed one is shown or completed. The pop-ups' responses
// (they share this handler) are no navigation of the page.
gboolean CHtmlView::CImpl::fOnDecidePolicy(WebKitWebView* pWebView, WebKitPolicyDecision* pDecision,
                                           WebKitPolicyDecisionType eType, gpointer pData) {
  CHtmlView* pView = pViewOf(pData);
  if (eType == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
    auto* pResponse = WEBKIT_RESPONSE_POLICY_DECISION(pDecision);
    if (pView->m_pImpl != nullptr && pView->m_pImpl->fHttpError(pView, pWebView, pResponse)) {
      webkit_policy_decision_ignore(pDecision);  // the load ends as interrupted: no second error
      return TRUE;
    }
    if (webkit_response_policy_decision_is_mime_type_supported(pResponse)) return FALSE;
    webkit_policy_decision_ignore(pDecision);  // nothing is downloaded
    return TRUE;
  }
  // A new window is decided when the engine asks for its view (pOnCreate).
  if (eType != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION || pView->m_pImpl == nullptr) return FALSE;
  WebKitNavigationAction* pAction =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(pDecision));
  const char* pszUri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(pAction));
  BOOL bCancel = FALSE;
  pView->OnNavigationRequest(pszUri ? pszUri : "", FALSE, &bCancel);
  if (!bCancel) {
    CImpl* pImpl = pView->m_pImpl.get();
    if (pImpl != nullptr && GTK_WIDGET(pWebView) == pImpl->pWebView && pszUri != nullptr &&
        !webkit_navigation_action_is_redirect(pAction))
      pImpl->strNextUri = pszUri;
    return FALSE;
  }
  webkit_policy_decision_ignore(pDecision);
  return TRUE;
}

// TRUE: the response is the page's own document with an HTTP error status, and the view
// cancelled the NavigateError it raised for it (or went).
BOOL CHtmlView::CImpl::fHttpError(CHtmlView* pView, WebKitWebView* pWebView, WebKitResponsePolicyDecision* pDecision) {
  if (GTK_WIDGET(pWebView) != this->pWebView || !announced.empty() ||
      !webkit_response_policy_decision_is_main_frame_main_resource(pDecision))
    return FALSE;
  WebKitURIResponse* pResponse = webkit_response_policy_decision_get_response(pDecision);
  guint uStatus = webkit_uri_response_get_status_code(pResponse);
  if (uStatus < 400) return FALSE;
  const char* pszUri = webkit_uri_response_get_uri(pResponse);
  BOOL bCancel = FALSE;
  pView->NavigateError(pView->uMainFrameId(), pszUri ? pszUri : "", std::string(), uStatus, &bCancel);
  if (pView->m_pImpl == nullptr) return TRUE;
  if (bCancel) bFailed = TRUE;
  return bCancel;
}

void CHtmlView::CImpl::vOnClose(WebKitWebView*, gpointer pData) {
  BOOL bCancel = FALSE;
  pViewOf(pData)->WindowClosing(FALSE, &bCancel);
}

namespace {

// A pop-up's page asks to close it (its window.close(), see html_view_extension.cpp); frames
// inside a pop-up are not followed.
gboolean fOnPopupMessage(WebKitWebView*, WebKitUserMessage* pMessage, gpointer pWindow) {
  if (g_strcmp0(webkit_user_message_get_name(pMessage), HTML_MSG_WINDOW_CLOSE) == 0)
    gtk_widget_destroy(GTK_WIDGET(pWindow));
  return TRUE;
}

}  // namespace

// A pop-up allowed by OnNewWindow2: a window of its own, transient for the view's frame (so it
// stays above the frame, also when the frame raises itself without a window manager), with the
// kiosk's set-up of the engine; gone when its page closes it or with the view.
GtkWidget* CHtmlView::CImpl::pOnCreate(WebKitWebView* pWebView, WebKitNavigationAction* pAction, gpointer pData) {
  CHtmlView* pView = pViewOf(pData);
  BOOL bCancel = FALSE;
  void* pDispatch = nullptr;  // a view of the program's own for the pop-up is not offered here
  pView->OnNewWindow2(&pDispatch, &bCancel);
  if (bCancel || pView->m_pImpl == nullptr) return nullptr;
  const char* pszUri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(pAction));
  pView->OnNavigationRequest(pszUri ? pszUri : "", TRUE, &bCancel);
  if (bCancel || pView->m_pImpl == nullptr) return nullptr;
  CImpl* pImpl = pView->m_pImpl.get();
  GtkWidget* pPopup = webkit_web_view_new_with_related_view(pWebView);  // the same settings and content
  pImpl->popups.push_back(pPopup);
  g_signal_connect(pPopup, "decide-policy", G_CALLBACK(fOnDecidePolicy), pView);
  vSetUpEngine(pPopup, pView);
  g_signal_connect(pPopup, "destroy", G_CALLBACK(+[](GtkWidget* pWidget, gpointer pData) {
                     CHtmlView* pOwner = pViewOf(pData);
                     if (pOwner->m_pImpl == nullptr) return;
                     auto& list = pOwner->m_pImpl->popups;
                     list.erase(std::remove(list.begin(), list.end(), pWidget), list.end());
                   }),
                   pView);
  GtkWidget* pWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(pWindow), 800, 600);
  GtkWidget* pFrame = gtk_widget_get_toplevel(pImpl->pWebView);
  if (GTK_IS_WINDOW(pFrame)) gtk_window_set_transient_for(GTK_WINDOW(pWindow), GTK_WINDOW(pFrame));
  gtk_container_add(GTK_CONTAINER(pWindow), pPopup);
  g_signal_connect(pPopup, "user-message-received", G_CALLBACK(fOnPopupMessage), pWindow);
  g_signal_connect(pPopup, "ready-to-show",
                   G_CALLBACK(+[](WebKitWebView* p, gpointer pWin) { gtk_widget_show_all(GTK_WIDGET(pWin)); }),
                   pWindow);
  g_signal_connect(pPopup, "close",
                   G_CALLBACK(+[](WebKitWebView*, gpointer pWin) { gtk_widget_destroy(GTK_WIDGET(pWin)); }), pWindow);
  return pPopup;
}

// The pop-ups' handlers reach the view: they go first, with their windows.
void CHtmlView::CImpl::vDestroyPopups(CHtmlView* pView) {
  std::vector<GtkWidget*> views;
  views.swap(popups);
  for (GtkWidget* pPopup : views) {
    g_signal_handlers_disconnect_by_data(pPopup, pView);
    GtkWidget* pWindow = gtk_widget_get_toplevel(pPopup);
    gtk_widget_destroy(GTK_IS_WINDOW(pWindow) ? pWindow : pPopup);
  }
}

void CHtmlView::CImpl::vSetUpEngine(GtkWidget* pWebView, CHtmlView* pView) {
  g_signal_connect(pWebView, "authenticate", G_CALLBACK(fOnAuthenticate), pView);
  g_signal_connect(pWebView, "permission-request", G_CALLBACK(fOnPermission), pView);
  g_signal_connect(pWebView, "print", G_CALLBACK(fOnPrint), pView);
  g_signal_connect(pWebView, "run-file-chooser", G_CALLBACK(fOnFileChooser), pView);
  g_signal_connect(pWebView, "context-menu", G_CALLBACK(fOnContextMenu), pView);
  g_signal_connect(pWebView, "create", G_CALLBACK(pOnCreate), pView);
}

gboolean CHtmlView::CImpl::fOnUserMessage(WebKitWebView*, WebKitUserMessage* pMessage, gpointer pData) {
  const char* pszName = webkit_user_message_get_name(pMessage);
  GVariant* pParams = webkit_user_message_get_parameters(pMessage);
  if (pszName == nullptr || pParams == nullptr || !g_variant_is_of_type(pParams, G_VARIANT_TYPE("(ts)"))) return FALSE;
  guint64 uFrame = 0;
  const char* pszUri = nullptr;
  g_variant_get(pParams, "(t&s)", &uFrame, &pszUri);
  CHtmlView* pView = pViewOf(pData);
  uintptr_t uFrameId = static_cast<uintptr_t>(uFrame);
  if (g_strcmp0(pszName, HTML_MSG_WINDOW_CLOSE) == 0) {
    BOOL bCancel = FALSE;
    pView->WindowClosing(FALSE, &bCancel);
  } else if (g_strcmp0(pszName, HTML_MSG_FRAME_COMMITTED) == 0) {
    BOOL bCancel = FALSE;
    vBeforeNavigate2(pView, uFrameId, pszUri, &bCancel);
    if (pView->m_pImpl != nullptr) pView->NavigateComplete2(uFrameId, pszUri);
  } else if (g_strcmp0(pszName, HTML_MSG_FRAME_LOADED) == 0) {
    pView->DocumentComplete(uFrameId, pszUri);
  } else {
    return FALSE;
  }
  return TRUE;
}

GdkFilterReturn CHtmlView::CImpl::eOnRawButton(GdkXEvent* pXEvent, GdkEvent*, gpointer pData) {
  CHtmlView* pView = pViewOf(pData);
  CImpl* pImpl = pView->m_pImpl.get();
  if (pImpl == nullptr || !fRightPressOverView(pImpl->pWebView, pImpl->iXiOpcode, static_cast<XEvent*>(pXEvent)))
    return GDK_FILTER_CONTINUE;
  return fMouse(pView, MOUSEMSG_RBUTTONDOWN) ? GDK_FILTER_REMOVE : GDK_FILTER_CONTINUE;
}

void CHtmlView::CImpl::vRemoveRawFilter(CHtmlView* pView) {
  if (!bRawFilter) return;
  gdk_window_remove_filter(nullptr, eOnRawButton, pView);
  bRawFilter = FALSE;
}

// A left press as Windows reports it: a press within the double-click time and distance of a
// first press is the double click, and the press after a double click starts afresh (a triple
// click is press, double click, press). The time and distance are GTK's, which the engine's own
// dblclick events follow.
MouseMessage CHtmlView::CImpl::eLeftPress(GtkWidget* pWidget, const GdkEventButton* pEvent) {
  gint iTime = 400, iDistance = 5;
  g_object_get(gtk_widget_get_settings(pWidget), "gtk-double-click-time", &iTime, "gtk-double-click-distance",
               &iDistance, nullptr);
  if (bClickPending && pEvent->time - uClickTime < static_cast<guint32>(iTime) &&
      std::abs(pEvent->x_root - dClickX) <= iDistance && std::abs(pEvent->y_root - dClickY) <= iDistance) {
    bClickPending = FALSE;
    return MOUSEMSG_LBUTTONDBLCLK;
  }
  bClickPending = TRUE;
  uClickTime = pEvent->time;
  dClickX = pEvent->x_root;
  dClickY = pEvent->y_root;
  return MOUSEMSG_LBUTTONDOWN;
}

gboolean CHtmlView::CImpl::fOnButton(GtkWidget* pWidget, GdkEventButton* pEvent, gpointer pData) {
  CHtmlView* pView = pViewOf(pData);
  CImpl* pImpl = pView->m_pImpl.get();
  if (pImpl == nullptr) return FALSE;
  // GDK follows the second and third press of a button with a double and triple press of its
  // own; those go as the press before them went.
  if (pEvent->type == GDK_2BUTTON_PRESS || pEvent->type == GDK_3BUTTON_PRESS)
    return pEvent->button == 1 && pImpl->bClickDropped;
  MouseMessage eMessage = MOUSEMSG_OTHER;
  if (pEvent->type == GDK_BUTTON_PRESS && pEvent->button == 1)
    eMessage = pImpl->eLeftPress(pWidget, pEvent);
  else if (pEvent->type == GDK_BUTTON_PRESS)  // right: decided by the filter
    pImpl->bClickPending = FALSE;             // another button between two presses: no double click
  else if (pEvent->type == GDK_BUTTON_RELEASE && pEvent->button == 3)
    eMessage = MOUSEMSG_RBUTTONUP;
  BOOL bDrop = fMouse(pView, eMessage);
  if (eMessage == MOUSEMSG_LBUTTONDOWN || eMessage == MOUSEMSG_LBUTTONDBLCLK) {
    if (pView->m_pImpl != nullptr) pImpl->bClickDropped = bDrop;
  }
  return bDrop ? TRUE : FALSE;
}

// The engine asks for its context menu. A mouse's right click was decided before the engine saw
// it, and reaches this point only when allowed; any other way here (a long press of a finger, the
// menu key) is a right click all the same. Deciding a right click again writes nothing.
gboolean CHtmlView::CImpl::fOnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*,
                                          gpointer pData) {
  return fMouse(pViewOf(pData), MOUSEMSG_RBUTTONDOWN) ? TRUE : FALSE;
}

gboolean CHtmlView::CImpl::fOnScroll(GtkWidget*, GdkEventScroll*, gpointer pData) {
  return fMouse(pViewOf(pData), MOUSEMSG_WHEEL) ? TRUE : FALSE;
}

void CHtmlView::CImpl::vOnSizeAllocate(GtkWidget*, GdkRectangle*, gpointer pData) {
  CHtmlView* pView = pViewOf(pData);
  if (pView->m_pImpl != nullptr) pView->OnSize();
}

// The detect-mouse hook's notice: a ClientMessage to the view's notice window.
gboolean CHtmlView::CImpl::fOnNoticeConnection(gint, GIOCondition, gpointer pData) {
  CHtmlView* pView = pViewOf(pData);
  CImpl* pImpl = pView->m_pImpl.get();
  if (pImpl == nullptr || pImpl->pNoticeDisplay == nullptr) return G_SOURCE_REMOVE;
  while (XPending(pImpl->pNoticeDisplay) > 0) {
    XEvent event;
    XNextEvent(pImpl->pNoticeDisplay, &event);
    if (event.type == ClientMessage && event.xclient.window == pImpl->noticeWindow &&
        event.xclient.message_type == pImpl->noticeAtom && event.xclient.format == 32) {
      pView->OnNotice(static_cast<uint32_t>(event.xclient.data.l[0]));
      if (pView->m_pImpl == nullptr) return G_SOURCE_REMOVE;
    }
  }
  return G_SOURCE_CONTINUE;
}

// The notice window lives on a display connection of its own, opened with the view, so that the
// hook libraries can post to it from the start and until the view is gone.
BOOL CHtmlView::CImpl::fOpenNotices(GtkWidget* pWidget) {
  GdkDisplay* pGdkDisplay = gtk_widget_get_display(pWidget);
  if (!GDK_IS_X11_DISPLAY(pGdkDisplay)) return FALSE;
  Display* pDisplay = XOpenDisplay(gdk_display_get_name(pGdkDisplay));
  if (pDisplay == nullptr) return FALSE;
  pNoticeDisplay = pDisplay;
  noticeWindow = XCreateSimpleWindow(pDisplay, DefaultRootWindow(pDisplay), 0, 0, 1, 1, 0, 0, 0);
  if (!strNoticeAtom.empty()) noticeAtom = XInternAtom(pDisplay, strNoticeAtom.c_str(), False);
  XFlush(pDisplay);
  return TRUE;
}

void CHtmlView::CImpl::vCloseNotices() {
  if (uNoticeSource != 0) g_source_remove(uNoticeSource);
  if (pNoticeDisplay != nullptr) {
    XDestroyWindow(pNoticeDisplay, noticeWindow);
    XCloseDisplay(pNoticeDisplay);
  }
  uNoticeSource = 0;
  pNoticeDisplay = nullptr;
  noticeWindow = 0;
}

// The engine's widget is gone (with the frame, or a failed creation): the view's handlers see it
// go while its notice window still exists, then the view lets go of everything.
void CHtmlView::CImpl::vOnDestroy(GtkWidget* pWidget, gpointer pData) {
  CHtmlView* pView = pViewOf(pData);
  g_signal_handlers_disconnect_by_data(pWidget, pData);
  if (pView->m_pImpl == nullptr) return;
  pView->m_pImpl->vRemoveRawFilter(pView);
  pView->m_pImpl->vDestroyPopups(pView);
  pView->OnDestroy();
  pView->m_pImpl->vCloseNotices();
  pView->m_pImpl->vDetach(pView);
  pView->m_pImpl.reset();
  pView->PostNcDestroy();  // may delete the view
}

CHtmlView::CHtmlView() = default;

CHtmlView::~CHtmlView() {
  if (m_pImpl == nullptr) return;
  // A view destroyed before its widget: nothing of the view may be reached any more.
  m_pImpl->vRemoveRawFilter(this);
  m_pImpl->vDestroyPopups(this);
  m_pImpl->vCloseNotices();
  m_pImpl->vDetach(this);
  GtkWidget* pWebView = m_pImpl->pWebView;
  g_signal_handlers_disconnect_by_data(pWebView, this);
  m_pImpl.reset();
  gtk_widget_destroy(pWebView);
}

BOOL CHtmlView::fCreate(CFrameWindow& frame, BOOL bHardwareAcceleration) {
  if (m_pImpl != nullptr) return FALSE;
  if (!frame.fIsWindow()) {
    PostNcDestroy();  // may delete the view
    return FALSE;
  }
  // The styles mean nothing to a child widget, but the view may look at them.
  CWindowStyles styles = {0x50800000, 0};
  PreCreateWindow(styles);
  CHostInfo hostInfo = {0, HOSTUI_DBLCLK_DEFAULT};
  OnGetHostInfo(hostInfo);

  WebKitWebContext* pContext = pSharedContext();
  WebKitUserContentManager* pContent = webkit_user_content_manager_new();
  WebKitSettings* pSettings = webkit_settings_new();
  webkit_settings_set_hardware_acceleration_policy(pSettings, bHardwareAcceleration
                                                                  ? WEBKIT_HARDWARE_ACCELERATION_POLICY_ALWAYS
                                                                  : WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  webkit_settings_set_javascript_can_open_windows_automatically(pSettings, TRUE);  // window.open asks OnNewWindow2
  webkit_settings_set_enable_page_cache(pSettings, FALSE);  // back and forward load from the server
  webkit_settings_set_enable_developer_extras(pSettings, FALSE);
  GtkWidget* pWebView = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", pContext, "settings", pSettings,
                                                "user-content-manager", pContent, nullptr));
  g_object_unref(pSettings);
  g_object_unref(pContent);

  if (hostInfo.m_uFlags & HOSTUI_SCROLL_NO) {
    WebKitUserStyleSheet* pStyle = webkit_user_style_sheet_new(
        HTML_NO_SCROLL_STYLE, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES, WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
    webkit_user_content_manager_add_style_sheet(pContent, pStyle);
    webkit_user_style_sheet_unref(pStyle);
  }

  m_pImpl = std::make_unique<CImpl>();
  CImpl* pImpl = m_pImpl.get();
  pImpl->pWebView = pWebView;
  g_signal_connect(pWebView, "load-changed", G_CALLBACK(CImpl::vOnLoadChanged), this);
  g_signal_connect(pWebView, "load-failed", G_CALLBACK(CImpl::fOnLoadFailed), this);
  g_signal_connect(pWebView, "decide-policy", G_CALLBACK(CImpl::fOnDecidePolicy), this);
  g_signal_connect(pWebView, "close", G_CALLBACK(CImpl::vOnClose), this);
  CImpl::vSetUpEngine(pWebView, this);
  g_signal_connect(pWebView, "user-message-received", G_CALLBACK(CImpl::fOnUserMessage), this);
  g_signal_connect(pWebView, "button-press-event", G_CALLBACK(CImpl::fOnButton), this);
  g_signal_connect(pWebView, "button-release-event", G_CALLBACK(CImpl::fOnButton), this);
  g_signal_connect(pWebView, "scroll-event", G_CALLBACK(CImpl::fOnScroll), this);
  g_signal_connect(pWebView, "destroy", G_CALLBACK(CImpl::vOnDestroy), this);
  g_signal_connect(pWebView, "size-allocate", G_CALLBACK(CImpl::vOnSizeAllocate), this);
  GdkDisplay* pDisplay = gdk_display_get_default();
  if (pDisplay != nullptr && GDK_IS_X11_DISPLAY(pDisplay)) {
    int iEvent = 0, iError = 0;
    if (!XQueryExtension(GDK_DISPLAY_XDISPLAY(pDisplay), "XInputExtension", &pImpl->iXiOpcode, &iEvent, &iError))
      pImpl->iXiOpcode = -1;
    gdk_window_add_filter(nullptr, CImpl::eOnRawButton, this);
    pImpl->bRawFilter = TRUE;
  }
  if (!frame.fSetChild(pWebView)) {
    gtk_widget_destroy(pWebView);  // OnDestroy, PostNcDestroy
    return FALSE;
  }
  if (pImpl->fOpenNotices(pWebView))
    pImpl->uNoticeSource =
        g_unix_fd_add(ConnectionNumber(pImpl->pNoticeDisplay), G_IO_IN, CImpl::fOnNoticeConnection, this);
  if (OnCreate() == -1) {
    if (m_pImpl != nullptr) gtk_widget_destroy(pWebView);  // OnDestroy, PostNcDestroy
    return FALSE;
  }
  return TRUE;
}

BOOL CHtmlView::fIsWindow() const { return m_pImpl != nullptr; }

HWINDOW CHtmlView::hGetWindow() const { return m_pImpl ? m_pImpl->pWebView : nullptr; }

void CHtmlView::Navigate2(const char* pszUrl) {
  if (m_pImpl == nullptr || pszUrl == nullptr) return;
  // The engine starts a load only once its web process runs, and a request made before that
  // replaces the one before it without a word: each request the program makes is announced here,
  // with the address the engine goes to, as it is made.
  std::string strUrl = strEngineAddress(pszUrl);
  BOOL bCancel = FALSE;
  CImpl::vBeforeNavigate2(this, uMainFrameId(), strUrl, &bCancel);
  if (m_pImpl == nullptr || bCancel) return;
  m_pImpl->announced.push_back(strUrl);
  if (m_pImpl->pClearing != nullptr) {
    m_pImpl->strPendingUrl = strUrl;  // loads once the session's data is gone
    m_pImpl->bPendingNavigate = TRUE;
    return;
  }
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(m_pImpl->pWebView), strUrl.c_str());
}

void CHtmlView::vEndSession() {
  if (m_pImpl == nullptr || m_pImpl->pClearing != nullptr) return;
  WebKitWebContext* pContext = webkit_web_view_get_context(WEBKIT_WEB_VIEW(m_pImpl->pWebView));
  WebKitWebsiteDataManager* pData = webkit_web_context_get_website_data_manager(pContext);
  m_pImpl->pClearing = new CPending{this};
  webkit_website_data_manager_clear(pData, WEBKIT_WEBSITE_DATA_ALL, 0, nullptr, CImpl::vOnCleared, m_pImpl->pClearing);
}

void CHtmlView::CImpl::vOnCleared(GObject* pSource, GAsyncResult* pResult, gpointer pData) {
  auto* pPending = static_cast<CPending*>(pData);
  // A failed clear still lets the waiting page load: the kiosk must not stay on the old one.
  webkit_website_data_manager_clear_finish(WEBKIT_WEBSITE_DATA_MANAGER(pSource), pResult, nullptr);
  CHtmlView* pView = pPending->pView;
  delete pPending;
  if (pView == nullptr || pView->m_pImpl == nullptr) return;
  CImpl* pImpl = pView->m_pImpl.get();
  pImpl->pClearing = nullptr;
  if (!pImpl->bPendingNavigate) return;
  pImpl->bPendingNavigate = FALSE;
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(pImpl->pWebView), pImpl->strPendingUrl.c_str());
}

BOOL CHtmlView::fRequestSnapshot() {
  if (m_pImpl == nullptr || m_pImpl->pSnapshot != nullptr) return FALSE;
  m_pImpl->pSnapshot = new CPending{this};
  webkit_web_view_get_snapshot(WEBKIT_WEB_VIEW(m_pImpl->pWebView), WEBKIT_SNAPSHOT_REGION_VISIBLE,
                               WEBKIT_SNAPSHOT_OPTIONS_NONE, nullptr, CImpl::vOnSnapshot, m_pImpl->pSnapshot);
  return TRUE;
}

void CHtmlView::CImpl::vOnSnapshot(GObject* pSource, GAsyncResult* pResult, gpointer pData) {
  auto* pPending = static_cast<CPending*>(pData);
  cairo_surface_t* pSurface = webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(pSource), pResult, nullptr);
  CHtmlView* pView = pPending->pView;
  delete pPending;
  if (pView != nullptr && pView->m_pImpl != nullptr) {
    pView->m_pImpl->pSnapshot = nullptr;
    cairo_format_t eFormat = pSurface ? cairo_image_surface_get_format(pSurface) : CAIRO_FORMAT_INVALID;
    if (pSurface != nullptr && cairo_surface_get_type(pSurface) == CAIRO_SURFACE_TYPE_IMAGE &&
        (eFormat == CAIRO_FORMAT_ARGB32 || eFormat == CAIRO_FORMAT_RGB24)) {
      cairo_surface_flush(pSurface);
      // Native-endian 32-bit pixels: blue, green, red, alpha in memory on a little-endian machine.
      pView->OnSnapshot(static_cast<uint32_t>(cairo_image_surface_get_width(pSurface)),
                        static_cast<uint32_t>(cairo_image_surface_get_height(pSurface)),
                        cairo_image_surface_get_data(pSurface),
                        static_cast<size_t>(cairo_image_surface_get_stride(pSurface)));
    } else {
      pView->OnSnapshot(0, 0, nullptr, 0);
    }
  }
  if (pSurface != nullptr) cairo_surface_destroy(pSurface);
}

void CHtmlView::CImpl::vDetach(CHtmlView* pView) {
  for (GtkWidget* pPopup : popups) g_signal_handlers_disconnect_by_data(pPopup, pView);
  popups.clear();
  if (pClearing != nullptr) pClearing->pView = nullptr;
  if (pSnapshot != nullptr) pSnapshot->pView = nullptr;
  pClearing = nullptr;
  pSnapshot = nullptr;
}

void CHtmlView::vSetFocus() {
  if (m_pImpl) gtk_widget_grab_focus(m_pImpl->pWebView);
}

uintptr_t CHtmlView::uMainFrameId() const { return m_pImpl ? reinterpret_cast<uintptr_t>(m_pImpl->pWebView) : 0; }

std::string CHtmlView::strGetLocationUrl() const {
  return m_pImpl ? strUri(WEBKIT_WEB_VIEW(m_pImpl->pWebView)) : std::string();
}

void CHtmlView::vRefreshAmbientProperty(int32_t iDispId) {}

void CHtmlView::vSetNoticeAtom(const char* pszAtomName) {
  if (m_pImpl == nullptr || pszAtomName == nullptr) return;
  m_pImpl->strNoticeAtom = pszAtomName;
  if (m_pImpl->pNoticeDisplay != nullptr)
    m_pImpl->noticeAtom = XInternAtom(m_pImpl->pNoticeDisplay, pszAtomName, False);
}

void* CHtmlView::pGetNoticeTarget() const {
  if (m_pImpl == nullptr || m_pImpl->pNoticeDisplay == nullptr) return nullptr;
  return reinterpret_cast<void*>(static_cast<uintptr_t>(m_pImpl->noticeWindow));
}

}  // namespace platform
