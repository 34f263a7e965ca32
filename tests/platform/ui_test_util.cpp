// Test helper: run the UI loop until a condition holds.
#include "ui_test_util.h"

#include <atomic>
#include <memory>
#include <thread>

#include "platform/clock.h"
#include "platform/message_loop.h"

bool fRunLoopUntil(const std::function<bool()>& done, int iMs) {
  // Closures that run after this returns (queued late) see pStop and do nothing.
  auto pStop = std::make_shared<std::atomic<bool>>(false);
  auto pResult = std::make_shared<std::atomic<bool>>(false);
  auto pDone = std::make_shared<std::function<bool()>>(done);
  uint32_t uStart = platform::uGetTickMs();
  std::thread watcher([=]() {
    while (!pStop->load()) {
      platform::fPostToUiThread([=]() {
        if (pStop->load()) return;
        bool bDone = (*pDone)();
        if (bDone || platform::uGetTickMs() - uStart >= static_cast<uint32_t>(iMs)) {
          pResult->store(bDone);
          pStop->store(true);
          platform::vQuitMessageLoop(0);
        }
      });
      platform::vSleepMs(20);
    }
  });
  platform::iRunMessageLoop();
  pStop->store(true);
  watcher.join();
  return pResult->load();
}
