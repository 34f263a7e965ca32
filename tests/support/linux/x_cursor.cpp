// Test helper on Linux: the shown cursor's image through the XFixes extension.
#include "tests/support/x_cursor.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace txtest {

int iCursorPixels(const std::string& strDisplay) {
  Display* display = XOpenDisplay(strDisplay.c_str());
  if (display == nullptr) return -1;
  int visible = -1;
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (image != nullptr) {
    visible = 0;
    for (int i = 0; i < image->width * image->height; ++i) {
      if ((image->pixels[i] >> 24) & 0xFF) visible++;
    }
    XFree(image);
  }
  XCloseDisplay(display);
  return visible;
}

}  // namespace txtest
