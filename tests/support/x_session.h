// Test helper: a private X server for one test: Xvfb (1280x800x24, no TCP, never resetting) on a
// display number the server picks itself, with openbox on it when asked.
#pragma once

#include <sys/types.h>

#include <string>

namespace txtest {

class CXSession {
 public:
  CXSession() = default;
  // Starts at once (fOk tells whether it came up) and makes the server this process's display,
  // for tests whose own windows and commands go there (DISPLAY, GDK_BACKEND=x11).
  explicit CXSession(bool bWindowManager);
  // Ends what it started.
  ~CXSession();
  CXSession(const CXSession&) = delete;
  CXSession& operator=(const CXSession&) = delete;

  // Starts Xvfb and waits until it takes connections; with bWindowManager also openbox, waiting
  // until it manages the screen. False with m_strError when either did not come up.
  bool fStart(bool bWindowManager = false);
  bool fOk() const { return m_bOk; }
  // ":N".
  const std::string& strDisplay() const { return m_strDisplay; }
  // Whether the server takes a connection now.
  bool fTakesConnections() const;

  // Runs a shell command with DISPLAY set to this server; what it printed on standard output.
  std::string strRun(const std::string& strCommand) const;
  // Runs xdotool with the arguments on this server; true when it succeeded.
  bool fXdo(const std::string& strArgs) const;
  // Visible (not fully transparent) pixels of the cursor the server shows now; -1 unknown.
  int iCursorPixels() const;
  // A fingerprint of the shown cursor's size, hot spot and pixels (empty when unknown).
  std::string strCursorPrint() const;

  std::string m_strError;

 private:
  pid_t m_Xvfb = -1;
  pid_t m_WindowManager = -1;
  bool m_bOk = false;
  std::string m_strDisplay;
};

}  // namespace txtest
