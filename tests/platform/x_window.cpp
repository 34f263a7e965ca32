// Test helpers of the window tests: shell commands, xwininfo, XSendEvent.
#include "x_window.h"
#include "tests/support/spawn.h"

#include <X11/Xlib.h>

#include <regex>

std::string strRunCommand(const std::string& strCommand) { return txtest::strCommandOutput(strCommand); }

CXGeometry geomOfWindow(const std::string& strSelector) {
  CXGeometry geom;
  std::string strOut = strRunCommand("xwininfo " + strSelector + " 2>/dev/null");
  std::smatch m;
  auto fNumber = [&](const char* pszLabel, int& iValue) {
    if (std::regex_search(strOut, m, std::regex(std::string(pszLabel) + ":\\s+(-?\\d+)"))) iValue = std::stoi(m[1]);
  };
  fNumber("Absolute upper-left X", geom.x);
  fNumber("Absolute upper-left Y", geom.y);
  fNumber("Width", geom.width);
  fNumber("Height", geom.height);
  geom.fMapped = strOut.find("IsViewable") != std::string::npos;
  return geom;
}

bool fSendClientMessage(unsigned long ulWindow, const char* pszAtom, long lValue) {
  Display* pDisplay = XOpenDisplay(nullptr);
  if (pDisplay == nullptr) return false;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = ulWindow;
  event.xclient.message_type = XInternAtom(pDisplay, pszAtom, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = lValue;
  Status status = XSendEvent(pDisplay, ulWindow, False, NoEventMask, &event);
  XCloseDisplay(pDisplay);
  return status != 0;
}
