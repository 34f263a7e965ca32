// Test helper: a script's answer from the page of a WebKitGTK view.
#include "page_script.h"

#include <webkit2/webkit2.h>

#include <memory>

#include "ui_test_util.h"

std::string strEvalInPage(platform::HWINDOW hView, const char* pszScript) {
  struct CResult {
    bool bDone = false;
    std::string str;
  };
  // The answer may come after the wait gave up: the callback holds the result too.
  auto result = std::make_shared<CResult>();
  webkit_web_view_evaluate_javascript(
      WEBKIT_WEB_VIEW(hView), pszScript, -1, nullptr, nullptr, nullptr,
      [](GObject* pObject, GAsyncResult* pAsync, gpointer pData) {
        auto* pHeld = static_cast<std::shared_ptr<CResult>*>(pData);
        JSCValue* pValue = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(pObject), pAsync, nullptr);
        if (pValue != nullptr) {
          char* psz = jsc_value_to_string(pValue);
          (*pHeld)->str = psz ? psz : "";
          g_free(psz);
          g_object_unref(pValue);
        }
        (*pHeld)->bDone = true;
        delete pHeld;
      },
      new std::shared_ptr<CResult>(result));
  fRunLoopUntil([&] { return result->bDone; }, 5000);
  return result->bDone ? result->str : std::string();
}
