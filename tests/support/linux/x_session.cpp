// CXSession: Xvfb with -displayfd, so that the server itself picks a free display number, and
// -noreset, so that it never refuses a program that connects just as another one leaves; openbox;
// the shown cursor through the XFixes extension.
#include "tests/support/x_session.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/end_process.h"
#include "tests/support/spawn.h"
#include "tests/support/wait.h"

namespace txtest {

namespace {

// The child's side of a start: no output, and gone when the test that started it goes (the
// signal comes when the starting thread ends; the tests start their servers on their main thread).
void vBecomeHelper() {
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  dup2(null, 2);
}

}  // namespace

CXSession::CXSession(bool bWindowManager) {
  if (!fStart(bWindowManager)) return;
  setenv("DISPLAY", m_strDisplay.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("GDK_BACKEND", "x11", 1);
}

CXSession::~CXSession() {
  fEndProcess(m_WindowManager, 2000);
  fEndProcess(m_Xvfb, 2000);
}

bool CXSession::fStart(bool bWindowManager) {
  int display[2];
  if (pipe(display) != 0) return m_strError = "pipe", false;
  m_Xvfb = fork();
  if (m_Xvfb == 0) {
    close(display[0]);
    vBecomeHelper();
    std::string fd = std::to_string(display[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset",
           nullptr);
    _exit(127);
  }
  close(display[1]);
  std::string number;
  pollfd p = {display[0], POLLIN, 0};
  if (m_Xvfb > 0) {
    fWaitUntil(
        [&] {
          char c[16];
          if (poll(&p, 1, 0) <= 0) return false;
          ssize_t n = read(display[0], c, sizeof c);
          if (n <= 0) return true;  // the server ended
          number.append(c, static_cast<size_t>(n));
          return number.find('\n') != std::string::npos;
        },
        20000, 20);
  }
  close(display[0]);
  if (number.find('\n') == std::string::npos) {
    fEndProcess(m_Xvfb, 2000);
    return m_strError = "Xvfb did not name its display", false;
  }
  m_strDisplay = ":" + number.substr(0, number.find('\n'));
  // The server takes connections once it answers one.
  if (!fWaitUntil([&] { return fTakesConnections(); }, 20000))
    return m_strError = "Xvfb on " + m_strDisplay + " takes no connections", false;
  if (!bWindowManager) return m_bOk = true;

  m_WindowManager = fork();
  if (m_WindowManager == 0) {
    vBecomeHelper();
    setenv("DISPLAY", m_strDisplay.c_str(), 1);
    execlp("openbox", "openbox", "--sm-disable", nullptr);
    _exit(127);
  }
  if (m_WindowManager < 0) return m_strError = "openbox did not start", false;
  // The window manager is ready once it announces the window activation that xdotool uses.
  if (!fWaitUntil(
          [&] {
            return strRun("xprop -root _NET_SUPPORTED 2>/dev/null").find("_NET_ACTIVE_WINDOW") != std::string::npos;
          },
          10000))
    return m_strError = "openbox did not take the screen", false;
  return m_bOk = true;
}

bool CXSession::fTakesConnections() const {
  Display* probe = XOpenDisplay(m_strDisplay.c_str());
  if (probe != nullptr) XCloseDisplay(probe);
  return probe != nullptr;
}

std::string CXSession::strRun(const std::string& strCommand) const {
  return strCommandOutput("DISPLAY=" + m_strDisplay + " " + strCommand);
}

bool CXSession::fXdo(const std::string& strArgs) const {
  return std::system(("DISPLAY=" + m_strDisplay + " xdotool " + strArgs).c_str()) == 0;
}

int CXSession::iCursorPixels() const {
  Display* display = XOpenDisplay(m_strDisplay.c_str());
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

std::string CXSession::strCursorPrint() const {
  Display* display = XOpenDisplay(m_strDisplay.c_str());
  if (display == nullptr) return "";
  std::string print;
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (image != nullptr) {
    unsigned long long hash = 1469598103934665603ULL;
    for (int i = 0; i < image->width * image->height; ++i) hash = (hash ^ image->pixels[i]) * 1099511628211ULL;
    print = std::to_string(image->width) + "x" + std::to_string(image->height) + "@" + std::to_string(image->xhot) +
            "," + std::to_string(image->yhot) + "#" + std::to_string(hash);
    XFree(image);
  }
  XCloseDisplay(display);
  return print;
}

}  // namespace txtest
