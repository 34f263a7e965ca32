// Linux message loop: the GTK 3 main loop; posted closures are idle sources of the main context.
#include "platform/message_loop.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <thread>
#include <vector>

namespace platform {

namespace {

std::atomic<BOOL> g_bPrepared{FALSE};
std::thread::id g_uiThread;
std::atomic<int> g_iExitCode{0};
std::atomic<BOOL> g_bQuitRequested{FALSE};
std::atomic<int> g_iLoopDepth{0};
// Kept for the interface's sake: GTK dispatches its events itself and asks none of them.
std::vector<CMessageFilter*> g_filters;

gboolean fRunPosted(gpointer pData) {
  auto* pFn = static_cast<std::function<void()>*>(pData);
  (*pFn)();
  return G_SOURCE_REMOVE;
}

void vDeletePosted(gpointer pData) { delete static_cast<std::function<void()>*>(pData); }

void vQuitOnUiThread() {
  if (g_iLoopDepth.load() > 0 && gtk_main_level() > 0) gtk_main_quit();
}

}  // namespace

BOOL fInitMessageLoop() {
  if (g_bPrepared.load()) return fIsUiThread();
  // The program chooses its own C locale (the Japanese one for its texts); GTK would reset all
  // categories to the environment's. Only the messages follow the desktop, for GTK's own labels.
  gtk_disable_setlocale();
  setlocale(LC_MESSAGES, "");
  if (!gtk_init_check(nullptr, nullptr)) return FALSE;
  g_uiThread = std::this_thread::get_id();
  g_bPrepared.store(TRUE);
  return TRUE;
}

int iRunMessageLoop() {
  if (!g_bPrepared.load() || !fIsUiThread()) return -1;
  if (!g_bQuitRequested.exchange(FALSE)) {
    ++g_iLoopDepth;
    gtk_main();
    --g_iLoopDepth;
    g_bQuitRequested.store(FALSE);
  }
  return g_iExitCode.load();
}

void vQuitMessageLoop(int iExitCode) {
  g_iExitCode.store(iExitCode);
  if (fIsUiThread() && g_iLoopDepth.load() > 0) {
    gtk_main_quit();
    return;
  }
  if (g_iLoopDepth.load() == 0 && fIsUiThread()) {
    g_bQuitRequested.store(TRUE);
    return;
  }
  fPostToUiThread(vQuitOnUiThread);
}

BOOL fPostToUiThread(std::function<void()> fn) {
  if (!g_bPrepared.load() || !fn) return FALSE;
  auto* pFn = new (std::nothrow) std::function<void()>(std::move(fn));
  if (pFn == nullptr) return FALSE;
  g_idle_add_full(G_PRIORITY_DEFAULT, fRunPosted, pFn, vDeletePosted);
  return TRUE;
}

BOOL fIsUiThread() { return g_bPrepared.load() && std::this_thread::get_id() == g_uiThread; }

BOOL fAddMessageFilter(CMessageFilter* pFilter) {
  if (pFilter == nullptr || !fIsUiThread()) return FALSE;
  if (std::find(g_filters.begin(), g_filters.end(), pFilter) != g_filters.end()) return FALSE;
  g_filters.push_back(pFilter);
  return TRUE;
}

void vRemoveMessageFilter(CMessageFilter* pFilter) {
  g_filters.erase(std::remove(g_filters.begin(), g_filters.end(), pFilter), g_filters.end());
}

}  // namespace platform
