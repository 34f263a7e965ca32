// Test helper: a private Xvfb display per test process, with an optional openbox.
#include "x_session.h"
#include "tests/support/spawn.h"

#include <X11/Xlib.h>

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <thread>

CXSession::CXSession(bool bWindowManager) : m_bWindowManager(bWindowManager) {
  int fds[2];
  if (pipe(fds) != 0) return;
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::string strFd = std::to_string(fds[1]);
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlive the test
    int devnull = open("/dev/null", 1);
    dup2(devnull, 1);
    dup2(devnull, 2);
    execlp("Xvfb", "Xvfb", "-displayfd", strFd.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (pid < 0) return;
  m_iXvfb = pid;
  std::string strNumber;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') strNumber += c;
  close(fds[0]);
  if (strNumber.empty()) {
    kill(m_iXvfb, SIGTERM);
    waitpid(m_iXvfb, nullptr, 0);
    m_iXvfb = -1;
    return;
  }
  m_strDisplay = ":" + strNumber;
  setenv("DISPLAY", m_strDisplay.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("GDK_BACKEND", "x11", 1);
  if (!bWindowManager) return;
  pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    int devnull = open("/dev/null", 1);
    dup2(devnull, 1);
    dup2(devnull, 2);
    execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid < 0) return;
  m_iWm = pid;
  // openbox announces itself on the root window once it manages the screen.
  for (int i = 0; i < 100; ++i) {
    if (strRunCommand("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") != std::string::npos)
      return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

CXSession::~CXSession() {
  for (int pid : {m_iWm, m_iXvfb}) {
    if (pid <= 0) continue;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
}

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
