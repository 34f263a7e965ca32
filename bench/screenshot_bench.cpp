// Benchmark: the time per screenshot: the view's picture, its PNG encoding and the file's replacement.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/png_writer.h"
#include "platform/clock.h"
#include "platform/file_replace.h"
#include "platform/file_system.h"
#ifdef TX_BENCH_ENGINE
#include "platform/frame_window.h"
#include "platform/html_view.h"
#include "tests/platform/ui_test_util.h"
#endif

namespace {

double dMedian(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double dMs(uint64_t uFrom) { return static_cast<double>(platform::uGetTickUs() - uFrom) / 1000.0; }

// A screen-like picture: flat areas, a gradient and some text-like noise.
std::vector<uint8_t> screen(uint32_t uWidth, uint32_t uHeight) {
  std::vector<uint8_t> pixels(static_cast<size_t>(uWidth) * uHeight * 4);
  for (uint32_t y = 0; y < uHeight; ++y) {
    for (uint32_t x = 0; x < uWidth; ++x) {
      uint8_t* p = &pixels[(static_cast<size_t>(y) * uWidth + x) * 4];
      bool bText = y > 200 && y < 600 && ((x * 7 + y * 13) % 11) < 3;
      p[0] = bText ? 0 : static_cast<uint8_t>(y * 255 / uHeight);
      p[1] = bText ? 0 : 0x80;
      p[2] = bText ? 0 : static_cast<uint8_t>(x * 255 / uWidth);
      p[3] = 0xFF;
    }
  }
  return pixels;
}

#ifdef TX_BENCH_ENGINE
// A page in the engine's view, full size; each snapshot's time from the request to the picture.
class CShotView : public platform::CHtmlView {
 public:
  BOOL m_bLoaded = FALSE, m_bShot = FALSE;
  uint32_t m_uWidth = 0, m_uHeight = 0;

 protected:
  void DocumentComplete(uintptr_t uFrameId, const std::string&) override {
    if (uFrameId == uMainFrameId()) m_bLoaded = TRUE;
  }
  void OnSnapshot(uint32_t uWidth, uint32_t uHeight, const uint8_t* pPixels, size_t) override {
    m_uWidth = pPixels ? uWidth : 0;
    m_uHeight = uHeight;
    m_bShot = TRUE;
  }
};

void vBenchEngine(int iShots, const char* pszPage) {
  if (!fPrepareTestUi()) {
    std::printf("engine snapshot: no display\n");
    return;
  }
  platform::CFrameWindow frame;
  CShotView view;
  if (!frame.fCreate("bench", "TarvenixBench") || !view.fCreate(frame)) return;
  frame.vShowMaximized();
  view.Navigate2(pszPage);
  fRunLoopUntil([&] { return view.m_bLoaded != FALSE; }, 30000);
  fRunLoopUntil([] { return false; }, 1000);  // the first paint
  std::vector<double> times;
  for (int i = 0; i < iShots; ++i) {
    view.m_bShot = FALSE;
    uint64_t uStart = platform::uGetTickUs();
    if (!view.fRequestSnapshot()) break;
    fRunLoopUntil([&] { return view.m_bShot != FALSE; }, 10000);
    times.push_back(dMs(uStart));
  }
  std::printf("engine snapshot %ux%u: %zu shots, median %.1f ms, max %.1f ms\n", view.m_uWidth, view.m_uHeight,
              times.size(), dMedian(times), times.empty() ? 0 : *std::max_element(times.begin(), times.end()));
}
#endif

}  // namespace

int main(int argc, char* argv[]) {
  int iShots = argc > 1 ? std::atoi(argv[1]) : 20;
  if (iShots <= 0) iShots = 20;
  std::string strDir = argc > 2 ? argv[2] : ".";
  const uint32_t uWidth = 1280, uHeight = 800;
  std::vector<uint8_t> pixels = screen(uWidth, uHeight);
  std::string strPath = strDir + platform::cPathSeparator() + "bench_screenshot.png";
  std::vector<double> encode, write;
  size_t uBytes = 0;
  for (int i = 0; i < iShots; ++i) {
    std::string png;
    uint64_t uStart = platform::uGetTickUs();
    if (!fEncodePng(uWidth, uHeight, pixels.data(), uWidth * 4, png)) return 1;
    encode.push_back(dMs(uStart));
    uStart = platform::uGetTickUs();
    if (!platform::fReplaceFile(strPath, png)) return 1;
    write.push_back(dMs(uStart));
    uBytes = png.size();
  }
  platform::fDeleteFile(strPath.c_str());
  std::printf("PNG %ux%u (%zu bytes): %d shots, encode median %.1f ms, replace median %.1f ms\n", uWidth, uHeight,
              uBytes, iShots, dMedian(encode), dMedian(write));
#ifdef TX_BENCH_ENGINE
  vBenchEngine(iShots, argc > 3 ? argv[3] : "about:blank");
#endif
  return 0;
}
