// Test helpers of the window tests on Linux: the private display (tests/support), shell commands
// against it, a window's geometry, a client message.
#pragma once

#include <string>

#include "tests/support/x_session.h"

using txtest::CXSession;

// Runs a shell command and returns its standard output (trailing newline kept).
std::string strRunCommand(const std::string& strCommand);

// Geometry of the first window named by the xwininfo selector (e.g. "-name Tarvenix").
struct CXGeometry {
  int x = -1, y = -1, width = -1, height = -1;
  bool fMapped = false;
};
CXGeometry geomOfWindow(const std::string& strSelector);

// Sends a 32-bit ClientMessage of the named atom with lValue as its first value to the X11 window.
bool fSendClientMessage(unsigned long ulWindow, const char* pszAtom, long lValue);
