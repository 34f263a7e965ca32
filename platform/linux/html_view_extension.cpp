// Web-process extension of the Linux HTML view (webext/libtxwebext.so beside the program): reports
// the navigations of frames inside the page, which the UI-process API does not, and asks every
// server for a fresh copy of each resource.
#include <webkit2/webkit-web-extension.h>

namespace {

// Messages to the view, parameters (frame id, address); see platform/linux/html_view.cpp.
const char* const HTML_MSG_FRAME_COMMITTED = "tx-frame-committed";
const char* const HTML_MSG_FRAME_LOADED = "tx-frame-loaded";
const char* const HTML_MSG_WINDOW_CLOSE = "tx-window-close";

struct CFrameRef {
  WebKitWebPage* pPage;  // weak: the page outlives the documents of its frames
  guint64 uFrame;
};

void vSend(WebKitWebPage* pPage, const char* pszName, guint64 uFrame, const char* pszUri) {
  GVariant* pParams = g_variant_new("(ts)", uFrame, pszUri ? pszUri : "");
  webkit_web_page_send_message_to_view(pPage, webkit_user_message_new(pszName, pParams), nullptr, nullptr, nullptr);
}

// The frame's load event: its document and everything in it are complete.
void vOnFrameLoad(const char* pszHref, gpointer pData) {
  auto* pRef = static_cast<CFrameRef*>(pData);
  vSend(pRef->pPage, HTML_MSG_FRAME_LOADED, pRef->uFrame, pszHref);
}

// window.close() of a page: the engine itself lets a script close only windows that a script
// opened, so the page's own view decides (the kiosk's view raises WindowClosing).
void vOnWindowClose(gpointer pData) {
  auto* pRef = static_cast<CFrameRef*>(pData);
  vSend(pRef->pPage, HTML_MSG_WINDOW_CLOSE, 0, "");
}

// Calls install(callback) in the frame's context: install is a script of one function.
void vInstall(JSCContext* pContext, const char* pszInstall, JSCValue* pCallback) {
  JSCValue* pInstall = jsc_context_evaluate(pContext, pszInstall, -1);
  if (pInstall != nullptr && jsc_value_is_function(pInstall)) {
    JSCValue* pResult = jsc_value_function_call(pInstall, JSC_TYPE_VALUE, pCallback, G_TYPE_NONE);
    if (pResult != nullptr) g_object_unref(pResult);
  }
  if (pInstall != nullptr) g_object_unref(pInstall);
}

void vDeleteRef(gpointer p) { delete static_cast<CFrameRef*>(p); }

// A new document in a frame: its window object was just made.
void vOnWindowObjectCleared(WebKitScriptWorld* pWorld, WebKitWebPage* pPage, WebKitFrame* pFrame, gpointer) {
  if (webkit_frame_is_main_frame(pFrame)) {  // the UI process sees the main frame's loads itself
    JSCContext* pContext = webkit_frame_get_js_context_for_script_world(pFrame, pWorld);
    if (pContext == nullptr) return;
    JSCValue* pClose = jsc_value_new_function(pContext, nullptr, G_CALLBACK(vOnWindowClose), new CFrameRef{pPage, 0},
                                              vDeleteRef, G_TYPE_NONE, 0);
    vInstall(pContext, "(function(cb){window.close=function(){cb();};})", pClose);
    g_object_unref(pClose);
    g_object_unref(pContext);
    return;
  }
  guint64 uFrame = webkit_frame_get_id(pFrame);
  const char* pszUri = webkit_frame_get_uri(pFrame);
  if (pszUri == nullptr || *pszUri == '\0') return;
  vSend(pPage, HTML_MSG_FRAME_COMMITTED, uFrame, pszUri);

  JSCContext* pContext = webkit_frame_get_js_context_for_script_world(pFrame, pWorld);
  if (pContext == nullptr) return;
  auto* pRef = new CFrameRef{pPage, uFrame};
  JSCValue* pCallback = jsc_value_new_function(
      pContext, nullptr, G_CALLBACK(vOnFrameLoad), pRef, [](gpointer p) { delete static_cast<CFrameRef*>(p); },
      G_TYPE_NONE, 1, G_TYPE_STRING);
  JSCValue* pInstall = jsc_context_evaluate(
      pContext, "(function(cb){window.addEventListener('load',function(){cb(String(location.href));});})", -1);
  if (pInstall != nullptr && jsc_value_is_function(pInstall)) {
    JSCValue* pResult = jsc_value_function_call(pInstall, JSC_TYPE_VALUE, pCallback, G_TYPE_NONE);
    if (pResult != nullptr) g_object_unref(pResult);
  }
  if (pInstall != nullptr) g_object_unref(pInstall);
  g_object_unref(pCallback);
  g_object_unref(pContext);
}

// Every request goes to its server: no copy kept by a cache on the way may answer it.
gboolean fOnSendRequest(WebKitWebPage*, WebKitURIRequest* pRequest, WebKitURIResponse*, gpointer) {
  SoupMessageHeaders* pHeaders = webkit_uri_request_get_http_headers(pRequest);
  if (pHeaders != nullptr) {
    soup_message_headers_replace(pHeaders, "Pragma", "no-cache");
    soup_message_headers_replace(pHeaders, "Cache-Control", "no-cache");
  }
  return FALSE;
}

void vOnPageCreated(WebKitWebExtension*, WebKitWebPage* pPage, gpointer) {
  g_signal_connect(pPage, "send-request", G_CALLBACK(fOnSendRequest), nullptr);
}

}  // namespace

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize(WebKitWebExtension* pExtension) {
  g_signal_connect(pExtension, "page-created", G_CALLBACK(vOnPageCreated), nullptr);
  g_signal_connect(webkit_script_world_get_default(), "window-object-cleared", G_CALLBACK(vOnWindowObjectCleared),
                   nullptr);
}
