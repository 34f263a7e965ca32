// The Win32 view's capture and session end, under Wine: a window of known colours drawn into a bitmap.
#include "platform/win32/view_capture.h"

#include <gtest/gtest.h>

#include "ui_test_util.h"

namespace {

LRESULT CALLBACK lPaintColours(HWND hWnd, UINT uMessage, WPARAM wParam, LPARAM lParam) {
  if (uMessage == WM_PAINT || uMessage == WM_PRINTCLIENT) {
    PAINTSTRUCT ps = {};
    HDC hDc = uMessage == WM_PAINT ? BeginPaint(hWnd, &ps) : reinterpret_cast<HDC>(wParam);
    RECT left = {0, 0, 100, 120}, right = {100, 0, 200, 120};
    HBRUSH hGreen = CreateSolidBrush(RGB(0, 255, 0)), hBlue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(hDc, &left, hGreen);
    FillRect(hDc, &right, hBlue);
    DeleteObject(hGreen);
    DeleteObject(hBlue);
    if (uMessage == WM_PAINT) EndPaint(hWnd, &ps);
    return 0;
  }
  return DefWindowProcA(hWnd, uMessage, wParam, lParam);
}

TEST(ViewCapture, DrawsTheWindowIntoABitmap) {
  ASSERT_TRUE(fPrepareTestUi());
  WNDCLASSA wc = {};
  wc.lpfnWndProc = lPaintColours;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TxCaptureTest";
  RegisterClassA(&wc);
  RECT rc = {0, 0, 200, 120};
  AdjustWindowRect(&rc, WS_POPUP, FALSE);
  HWND hWnd = CreateWindowExA(0, wc.lpszClassName, "capture", WS_POPUP | WS_VISIBLE, 10, 10, rc.right - rc.left,
                              rc.bottom - rc.top, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(hWnd, nullptr);
  UpdateWindow(hWnd);
  fRunLoopUntil([] { return false; }, 300);
  uint32_t uWidth = 0, uHeight = 0;
  std::vector<uint8_t> pixels;
  ASSERT_TRUE(platform::fCaptureWindow(hWnd, uWidth, uHeight, pixels));
  EXPECT_EQ(uWidth, 200u);
  EXPECT_EQ(uHeight, 120u);
  ASSERT_EQ(pixels.size(), 200u * 120u * 4u);
  const uint8_t* pGreen = &pixels[(60 * 200 + 50) * 4];
  const uint8_t* pBlue = &pixels[(60 * 200 + 150) * 4];
  EXPECT_EQ(pGreen[0], 0);
  EXPECT_EQ(pGreen[1], 255);
  EXPECT_EQ(pGreen[2], 0);
  EXPECT_EQ(pBlue[0], 255);
  EXPECT_EQ(pBlue[1], 0);
  EXPECT_EQ(pBlue[2], 0);
  DestroyWindow(hWnd);
  EXPECT_FALSE(platform::fCaptureWindow(hWnd, uWidth, uHeight, pixels));
}

TEST(ViewCapture, EndsTheBrowserSession) { EXPECT_TRUE(platform::fEndBrowserSession()); }

}  // namespace
