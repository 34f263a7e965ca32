// Test helper: a private Xvfb display (and, when asked, an openbox window manager on it) for one
// test process, plus running shell commands against it.
#pragma once

#include <string>

class CXSession {
 public:
  // Starts Xvfb with one 1280x800x24 screen and points DISPLAY at it; with bWindowManager also
  // openbox, waiting until it has taken the screen.
  explicit CXSession(bool bWindowManager);
  ~CXSession();
  bool fOk() const { return m_iXvfb > 0 && (!m_bWindowManager || m_iWm > 0); }
  const std::string& strDisplay() const { return m_strDisplay; }

 private:
  int m_iXvfb = -1;
  int m_iWm = -1;
  bool m_bWindowManager;
  std::string m_strDisplay;
};

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
