// Test helper, Linux: the test process's windows go to a private Xvfb display.
#include <memory>

#include "platform/message_loop.h"
#include "ui_test_util.h"
#include "x_window.h"

bool fPrepareTestUi() {
  static std::unique_ptr<CXSession> s_pSession(new CXSession(false));
  return s_pSession->fOk() && platform::fInitMessageLoop();
}
