// A private X server (Xvfb) with the hook probe on it, driven through xdotool, for the hook tests.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/x_session.h"

// Each test gets its own X server, so parallel tests never share a pointer or a keyboard focus,
// and its own copy of the probe in a fresh folder, so TXHook.log beside it is the test's alone.
class CProbeSession {
 public:
  CProbeSession() = default;
  ~CProbeSession();
  CProbeSession(const CProbeSession&) = delete;
  CProbeSession& operator=(const CProbeSession&) = delete;

  // Starts Xvfb (1280x800), with bWindowManager openbox on it, and the probe; true once the
  // probe's window is shown. m_strError says why not.
  bool fStart(bool bWindowManager = false);

  // Sends one command line to the probe.
  void vSend(const std::string& strCommand);
  // Reads the probe's report lines until one starts with strPrefix (true) or iTimeoutMs pass
  // (false). Every line read, the match included, is appended to m_Seen.
  bool fWaitFor(const std::string& strPrefix, int iTimeoutMs);
  // Reads the probe's report lines for iMs into m_Seen.
  void vDrain(int iMs) { fWaitFor("\x01", iMs); }
  // Sends the command and waits for its "DONE" or "RESULT" line.
  bool fCommand(const std::string& strCommand, int iTimeoutMs = 5000);
  // Runs xdotool with the arguments on this server; true when it succeeded.
  bool fXdo(const std::string& strArgs) { return m_X.fXdo(strArgs); }
  // Number of lines of m_Seen, from index iFrom on, that start with strPrefix.
  int iCount(const std::string& strPrefix, size_t iFrom = 0) const;

  // Visible (not fully transparent) pixels of the cursor the server shows now.
  int iCursorPixels() { return m_X.iCursorPixels(); }
  // A fingerprint of the shown cursor's size, hot spot and pixels (empty when unknown).
  std::string strCursorPrint() { return m_X.strCursorPrint(); }
  // The probe's TXHook.log, or an empty text.
  std::string strHookLog() const;

  std::string m_strDisplay;
  std::string m_strDir;
  std::string m_strError;
  unsigned long m_ulWindow = 0;
  std::vector<std::string> m_Seen;

 private:
  txtest::CXSession m_X;
  pid_t m_Probe = -1;
  int m_fdIn = -1;
  int m_fdOut = -1;
  std::string m_strBuffer;
};
