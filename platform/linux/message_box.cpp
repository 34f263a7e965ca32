// Linux message box: a GTK message dialog run by the UI loop on behalf of the calling thread,
// which waits for the answer; open boxes are listed so that fEndMessageBox can find them.
#include "platform/message_box.h"

#include <gdk/gdkx.h>
#include <glib/gi18n.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/message_loop.h"

namespace platform {

namespace {

struct CBox {
  HWINDOW hOwner = nullptr;
  std::string strText;
  std::string strCaption;
  unsigned int uStyle = 0;
  std::vector<int> buttons;      // answers, left to right
  GtkWidget* pDialog = nullptr;  // UI thread only
  // Guarded by g_mutex:
  bool bDone = false;
  int iAnswer = MBR_NONE;
};

std::mutex g_mutex;
std::condition_variable g_answered;
std::vector<std::shared_ptr<CBox>> g_boxes;  // requested and not yet answered

std::vector<int> buttonsOf(unsigned int uStyle) {
  switch (uStyle & MBS_BUTTONS) {
    case MBS_OKCANCEL: return {MBR_OK, MBR_CANCEL};
    case MBS_ABORTRETRYIGNORE: return {MBR_ABORT, MBR_RETRY, MBR_IGNORE};
    case MBS_YESNOCANCEL: return {MBR_YES, MBR_NO, MBR_CANCEL};
    case MBS_YESNO: return {MBR_YES, MBR_NO};
    case MBS_RETRYCANCEL: return {MBR_RETRY, MBR_CANCEL};
    default: return {MBR_OK};
  }
}

// Button labels in the desktop's language, from GTK's own translations.
const char* pszButtonLabel(int iAnswer) {
  switch (iAnswer) {
    case MBR_CANCEL: return g_dgettext("gtk30", "_Cancel");
    case MBR_ABORT: return g_dgettext("gtk30", "_Abort");
    case MBR_RETRY: return g_dgettext("gtk30", "_Retry");
    case MBR_IGNORE: return g_dgettext("gtk30", "_Ignore");
    case MBR_YES: return g_dgettext("gtk30", "_Yes");
    case MBR_NO: return g_dgettext("gtk30", "_No");
    default: return g_dgettext("gtk30", "_OK");
  }
}

// Records the answer and wakes the caller; the dialog goes. UI thread.
void vFinish(const std::shared_ptr<CBox>& pBox, int iAnswer) {
  GtkWidget* pDialog = pBox->pDialog;
  pBox->pDialog = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (pBox->bDone) return;
    pBox->bDone = true;
    pBox->iAnswer = iAnswer;
    g_boxes.erase(std::remove(g_boxes.begin(), g_boxes.end(), pBox), g_boxes.end());
  }
  g_answered.notify_all();
  if (pDialog != nullptr) gtk_widget_destroy(pDialog);
}

void vOnResponse(GtkDialog*, gint iResponse, gpointer pData) {
  std::shared_ptr<CBox> pBox = *static_cast<std::shared_ptr<CBox>*>(pData);
  const std::vector<int>& buttons = pBox->buttons;
  int iAnswer = iResponse;
  if (iResponse < 0) {  // Escape or the window's close
    if (std::find(buttons.begin(), buttons.end(), MBR_CANCEL) != buttons.end())
      iAnswer = MBR_CANCEL;
    else if (buttons.size() == 1 && buttons[0] == MBR_OK)
      iAnswer = MBR_OK;
    else
      return;  // a Yes/No box is answered with a button only
  }
  vFinish(pBox, iAnswer);
}

// Escape and the window's close arrive as a delete event after the dialog has turned them into
// a response; the dialog itself goes only when the box is answered.
gboolean fOnDeleteEvent(GtkWidget*, GdkEvent*, gpointer) { return TRUE; }

void vDeleteBoxRef(gpointer pData, GClosure*) { delete static_cast<std::shared_ptr<CBox>*>(pData); }

// Builds and shows the dialog. UI thread.
void vShow(const std::shared_ptr<CBox>& pBox) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (pBox->bDone) return;  // ended before it could be shown
  }
  GtkMessageType eType = GTK_MESSAGE_OTHER;
  switch (pBox->uStyle & MBS_ICONS) {
    case MBS_ICONSTOP: eType = GTK_MESSAGE_ERROR; break;
    case MBS_ICONQUESTION: eType = GTK_MESSAGE_QUESTION; break;
    case MBS_ICONWARNING: eType = GTK_MESSAGE_WARNING; break;
    case MBS_ICONINFORMATION: eType = GTK_MESSAGE_INFO; break;
  }
  GtkWindow* pOwner = nullptr;
  if (pBox->hOwner != nullptr && GTK_IS_WIDGET(pBox->hOwner)) {
    GtkWidget* pTop = gtk_widget_get_toplevel(static_cast<GtkWidget*>(pBox->hOwner));
    if (GTK_IS_WINDOW(pTop)) pOwner = GTK_WINDOW(pTop);
  }
  GtkWidget* pDialog = gtk_message_dialog_new(pOwner, pOwner ? GTK_DIALOG_MODAL : GtkDialogFlags(0), eType,
                                              GTK_BUTTONS_NONE, "%s", pBox->strText.c_str());
  pBox->pDialog = pDialog;
  gtk_window_set_title(GTK_WINDOW(pDialog), pBox->strCaption.c_str());
  gtk_window_set_position(GTK_WINDOW(pDialog), pOwner ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  std::vector<GtkWidget*> buttons;
  for (int iAnswer : pBox->buttons)
    buttons.push_back(gtk_dialog_add_button(GTK_DIALOG(pDialog), pszButtonLabel(iAnswer), iAnswer));
  size_t uDefault = (pBox->uStyle & MBS_DEFBUTTONS) >> 8;
  if (uDefault >= buttons.size()) uDefault = 0;
  gtk_dialog_set_default_response(GTK_DIALOG(pDialog), pBox->buttons[uDefault]);
  g_signal_connect_data(pDialog, "response", G_CALLBACK(vOnResponse), new std::shared_ptr<CBox>(pBox), vDeleteBoxRef,
                        GConnectFlags(0));
  g_signal_connect(pDialog, "delete-event", G_CALLBACK(fOnDeleteEvent), nullptr);
  if (pBox->uStyle & MBS_TOPMOST) gtk_window_set_keep_above(GTK_WINDOW(pDialog), TRUE);
  gtk_widget_show_all(pDialog);
  gtk_widget_grab_focus(buttons[uDefault]);
  guint32 uTime = GDK_CURRENT_TIME;
  GdkWindow* pGdkWindow = gtk_widget_get_window(pDialog);
  if (pGdkWindow != nullptr && GDK_IS_X11_WINDOW(pGdkWindow)) uTime = gdk_x11_get_server_time(pGdkWindow);
  if (pBox->uStyle & (MBS_SETFOREGROUND | MBS_TOPMOST)) gtk_window_present_with_time(GTK_WINDOW(pDialog), uTime);
}

// Ends the box. UI thread.
void vEnd(const std::shared_ptr<CBox>& pBox, int iAnswer) {
  const std::vector<int>& buttons = pBox->buttons;
  if (iAnswer == MBR_NONE) {
    if (std::find(buttons.begin(), buttons.end(), MBR_CANCEL) != buttons.end())
      iAnswer = MBR_CANCEL;
    else if (std::find(buttons.begin(), buttons.end(), MBR_NO) != buttons.end())
      iAnswer = MBR_NO;
    else
      iAnswer = MBR_OK;
  }
  vFinish(pBox, iAnswer);
}

}  // namespace

int iMessageBox(HWINDOW hOwner, const char* pszText, const char* pszCaption, unsigned int uStyle) {
  auto pBox = std::make_shared<CBox>();
  pBox->hOwner = hOwner;
  pBox->strText = pszText ? pszText : "";
  pBox->strCaption = pszCaption ? pszCaption : "";
  pBox->uStyle = uStyle;
  pBox->buttons = buttonsOf(uStyle);
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_boxes.push_back(pBox);
  }
  if (fIsUiThread()) {
    vShow(pBox);
    while (true) {
      {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (pBox->bDone) break;
      }
      gtk_main_iteration();
    }
  } else {
    if (!fPostToUiThread([pBox] { vShow(pBox); })) {
      std::lock_guard<std::mutex> lock(g_mutex);
      g_boxes.erase(std::remove(g_boxes.begin(), g_boxes.end(), pBox), g_boxes.end());
      return MBR_NONE;
    }
    std::unique_lock<std::mutex> lock(g_mutex);
    g_answered.wait(lock, [&] { return pBox->bDone; });
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  return pBox->iAnswer;
}

BOOL fBringMessageBoxToFront(HWINDOW hOwner, const char* pszCaption) {
  std::string strCaption = pszCaption ? pszCaption : "";
  std::shared_ptr<CBox> pBox;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    for (const auto& p : g_boxes)
      if (p->hOwner == hOwner && p->strCaption == strCaption && !p->bDone) pBox = p;
  }
  if (pBox == nullptr || !fIsUiThread() || pBox->pDialog == nullptr) return FALSE;
  GdkWindow* pGdkWindow = gtk_widget_get_window(pBox->pDialog);
  if (pGdkWindow == nullptr) return FALSE;
  // Raised by itself for a session without a window manager; present asks a manager for the
  // focus with a real timestamp, and takes it itself where there is none.
  gdk_window_raise(pGdkWindow);
  guint32 uTime = GDK_IS_X11_WINDOW(pGdkWindow) ? gdk_x11_get_server_time(pGdkWindow) : GDK_CURRENT_TIME;
  gtk_window_present_with_time(GTK_WINDOW(pBox->pDialog), uTime);
  return TRUE;
}

BOOL fEndMessageBox(HWINDOW hOwner, const char* pszCaption, int iAnswer) {
  std::string strCaption = pszCaption ? pszCaption : "";
  std::shared_ptr<CBox> pBox;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    for (const auto& p : g_boxes)
      if (p->hOwner == hOwner && p->strCaption == strCaption && !p->bDone) pBox = p;
  }
  if (pBox == nullptr) return FALSE;
  // On the UI thread the box ends at once, also when the loop no longer runs (a presenter
  // closing its box during shutdown).
  if (fIsUiThread()) {
    vEnd(pBox, iAnswer);
    return TRUE;
  }
  return fPostToUiThread([pBox, iAnswer] { vEnd(pBox, iAnswer); });
}

}  // namespace platform
