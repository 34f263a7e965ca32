// Win32 window capture with PrintWindow or BitBlt into a DIB section, and WinINet's end of session.
#include "platform/win32/view_capture.h"

#include <wininet.h>

#include <cstring>

namespace platform {

BOOL fCaptureWindow(HWND hWnd, uint32_t& uWidth, uint32_t& uHeight, std::vector<uint8_t>& pixels) {
  RECT rc = {};
  if (hWnd == nullptr || !GetClientRect(hWnd, &rc) || rc.right <= 0 || rc.bottom <= 0) return FALSE;
  uWidth = static_cast<uint32_t>(rc.right);
  uHeight = static_cast<uint32_t>(rc.bottom);
  HDC hWindowDc = GetDC(hWnd);
  if (hWindowDc == nullptr) return FALSE;
  HDC hMemoryDc = CreateCompatibleDC(hWindowDc);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = rc.right;
  info.bmiHeader.biHeight = -rc.bottom;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pBits = nullptr;
  HBITMAP hBitmap = hMemoryDc ? CreateDIBSection(hMemoryDc, &info, DIB_RGB_COLORS, &pBits, nullptr, 0) : nullptr;
  BOOL bOk = FALSE;
  if (hBitmap != nullptr && pBits != nullptr) {
    HGDIOBJ hOld = SelectObject(hMemoryDc, hBitmap);
    const UINT kClientOnly = 0x1;  // PW_CLIENTONLY
    bOk = PrintWindow(hWnd, hMemoryDc, kClientOnly);
    if (!bOk) bOk = BitBlt(hMemoryDc, 0, 0, rc.right, rc.bottom, hWindowDc, 0, 0, SRCCOPY);
    GdiFlush();
    if (bOk) {
      size_t uBytes = static_cast<size_t>(uWidth) * uHeight * 4;
      pixels.resize(uBytes);
      std::memcpy(pixels.data(), pBits, uBytes);
    }
    SelectObject(hMemoryDc, hOld);
  }
  if (hBitmap != nullptr) DeleteObject(hBitmap);
  if (hMemoryDc != nullptr) DeleteDC(hMemoryDc);
  ReleaseDC(hWnd, hWindowDc);
  return bOk;
}

BOOL fEndBrowserSession() { return InternetSetOptionA(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0); }

}  // namespace platform
