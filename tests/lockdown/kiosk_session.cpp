// CKioskSession: Xvfb, a private copy of Tarvenix, xdotool and screen reads for the lockdown tests.
#include "tests/lockdown/kiosk_session.h"
#include "tests/support/spawn.h"
#include "tests/support/x_cursor.h"
#include "tests/support/xvfb.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

fs::path programDir() { return fs::read_symlink("/proc/self/exe").parent_path(); }

std::string strRead(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Ends the process (SIGTERM, then SIGKILL after iGraceMs); true when it ended by itself.
bool fEnd(pid_t& pid, int iGraceMs) {
  if (pid <= 0) return true;
  kill(pid, SIGTERM);
  for (int waited = 0; waited < iGraceMs; waited += 20) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return true;
    }
    usleep(20000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
  return false;
}

std::string strRun(const std::string& strCommand) { return txtest::strCommandOutput(strCommand); }

// The program log of this month: YYYYMM.log.
std::string strMonthLog() {
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  char name[16];
  strftime(name, sizeof name, "%Y%m.log", &local);
  return name;
}

}  // namespace

CKioskSession::~CKioskSession() {
  fEnd(m_Kiosk, 10000);
  fEnd(m_Xvfb, 2000);
  std::error_code ec;
  if (!m_strDir.empty()) fs::remove_all(m_strDir, ec);
}

bool CKioskSession::fStart(const std::string& strPage, const std::vector<std::string>& settings) {
  // The kiosk's windows come and go while the helpers look at them; a request about a window that
  // has just gone fails, and Xlib's default answer to that would end the test program.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  m_Xvfb = iStartXvfb(m_strDisplay);
  if (m_Xvfb < 0) return m_strError = "Xvfb did not start", false;
  // The server takes connections once it answers one.
  if (!fWaitUntil(
          [&] {
            Display* probe = XOpenDisplay(m_strDisplay.c_str());
            if (probe != nullptr) XCloseDisplay(probe);
            return probe != nullptr;
          },
          20000))
    return m_strError = "Xvfb on " + m_strDisplay + " takes no connections", false;

  char dir[] = "/tmp/tx-lockdown-XXXXXX";
  if (mkdtemp(dir) == nullptr) return m_strError = "mkdtemp", false;
  m_strDir = dir;
  const fs::path bin = programDir();
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(bin)) {
    std::string name = entry.path().filename().string();
    bool hookLibrary = name.rfind("libTX", 0) == 0 && name.size() > 9 && name.substr(name.size() - 9) == "_64.so";
    if (name == "Tarvenix" || name == "tarvctl" || name == "TarvenixRun.sh" || hookLibrary) {
      fs::copy_file(entry.path(), fs::path(m_strDir) / name, ec);
    } else if (name == "webext") {
      fs::copy(entry.path(), fs::path(m_strDir) / name, fs::copy_options::recursive, ec);
    }
    if (ec) return m_strError = "cannot copy " + name + ": " + ec.message(), false;
  }

  std::string ini = "[Setting]\nAccessLog=1\nBlank=\"file://" + std::string(TX_TEST_SOURCE_DIR) + "/lockdown/pages/" +
                    strPage + "\"\n";
  for (const std::string& line : settings) ini += line + "\n";
  std::ofstream(fs::path(m_strDir) / "Tarvenix.ini", std::ios::binary) << ini;

  // Now and then GTK cannot open a fresh server's display at the first try on a busy machine
  // (the program then logs that it has no screen): such a start is tried again.
  bool ready = false;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (fLaunch(ready)) break;
    if (strRead(fs::path(m_strDir) / strMonthLog()).find("メインウィンドウ生成に失敗(画面なし)") == std::string::npos)
      break;
    usleep(500 * 1000);
  }
  if (m_Kiosk < 0) {
    m_strError = "Tarvenix ended at start-up; its folder holds:";
    for (const auto& entry : fs::directory_iterator(m_strDir)) {
      m_strError += "\n== " + entry.path().filename().string();
      if (entry.path().extension() == ".log" || entry.path().extension() == ".txt")
        m_strError += "\n" + strRead(entry.path());
    }
    return false;
  }
  if (!ready) return m_strError = "the page was not shown within a minute", false;
  // The pointer starts in the middle of the page, away from every corner and control.
  return fXdo("mousemove 640 500");
}

bool CKioskSession::fLaunch(bool& bReady) {
  const std::string exe = m_strDir + "/Tarvenix";
  m_Kiosk = fork();
  if (m_Kiosk == 0) {
    int output = open((m_strDir + "/output.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(output, 1);
    dup2(output, 2);
    setenv("DISPLAY", m_strDisplay.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_strDir + "/config").c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    if (chdir(m_strDir.c_str()) != 0) _exit(127);
    execl(exe.c_str(), exe.c_str(), nullptr);
    _exit(127);
  }
  // Loaded and drawn: the page's script has painted its innerWidth box.
  bReady = fWaitUntil(
      [&] {
        if (waitpid(m_Kiosk, nullptr, WNOHANG) == m_Kiosk) {
          m_Kiosk = -1;
          return true;
        }
        std::vector<unsigned long> windows = visibleWindows();
        if (windows.empty()) return false;
        return fFindPage(windows.front());
      },
      60000);
  return m_Kiosk > 0;
}

bool CKioskSession::fStop() {
  if (m_Kiosk <= 0) return false;
  return fEnd(m_Kiosk, 20000);
}

bool CKioskSession::fXdo(const std::string& strArgs) {
  return std::system(("DISPLAY=" + m_strDisplay + " xdotool " + strArgs).c_str()) == 0;
}

bool CKioskSession::fFindPage(unsigned long ulWindow) {
  Display* display = XOpenDisplay(m_strDisplay.c_str());
  if (display == nullptr) return false;
  int iLeft = 0, iTop = 0;
  Window child;
  XTranslateCoordinates(display, ulWindow, DefaultRootWindow(display), 0, 0, &iLeft, &iTop, &child);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, ulWindow, &attributes)) attributes.width = -1;
  // The page starts where its innerWidth box does (below a menu bar when there is one): the
  // first row, in the box's column, whose colour is the window's width (the page is drawn at
  // the window's first size before the window takes the whole screen).
  const int rows = 100;
  bool found = false;
  if (iLeft >= 0 && iTop >= 0 && iLeft + 50 < 1280 && iTop + rows <= 800) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), iLeft + 50, iTop, 1, rows, AllPlanes, ZPixmap);
    for (int y = 0; image != nullptr && y < rows && !found; ++y) {
      unsigned long value = XGetPixel(image, 0, y);
      int width = static_cast<int>(((value >> 16) & 0xFF) * 256 + ((value >> 8) & 0xFF));
      if (width == attributes.width && (value & 0xFF) == 0) {
        found = true;
        m_iLeft = iLeft;
        m_iTop = iTop + y;
      }
    }
    if (image != nullptr) XDestroyImage(image);
  }
  XCloseDisplay(display);
  return found;
}

CPixel CKioskSession::pixel(int iX, int iY) {
  CPixel c;
  Display* display = XOpenDisplay(m_strDisplay.c_str());
  if (display == nullptr) return c;
  XImage* image = XGetImage(display, DefaultRootWindow(display), iX, iY, 1, 1, AllPlanes, ZPixmap);
  if (image != nullptr) {
    unsigned long value = XGetPixel(image, 0, 0);
    c.r = static_cast<int>((value >> 16) & 0xFF);
    c.g = static_cast<int>((value >> 8) & 0xFF);
    c.b = static_cast<int>(value & 0xFF);
    XDestroyImage(image);
  }
  XCloseDisplay(display);
  return c;
}

std::vector<unsigned long> CKioskSession::visibleWindows() {
  std::vector<unsigned long> windows;
  if (m_Kiosk <= 0) return windows;
  Display* display = XOpenDisplay(m_strDisplay.c_str());
  if (display == nullptr) return windows;
  // There is no window manager: the program's top-level windows are the root's children.
  Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
  Window root, parent, *children = nullptr;
  unsigned int count = 0;
  if (pidAtom != None && XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes attributes;
      if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
      Atom type;
      int format;
      unsigned long items, after;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                             &data) == Success &&
          data != nullptr && items == 1 && format == 32 &&
          *reinterpret_cast<unsigned long*>(data) == (unsigned long)m_Kiosk) {
        windows.push_back(children[i]);
      }
      if (data != nullptr) XFree(data);
    }
    if (children != nullptr) XFree(children);
  }
  XCloseDisplay(display);
  return windows;
}

std::string CKioskSession::strWindowName(unsigned long ulWindow) {
  std::string name = strRun("DISPLAY=" + m_strDisplay + " xdotool getwindowname " + std::to_string(ulWindow));
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

int CKioskSession::iViewableTopLevels() {
  Display* display = XOpenDisplay(m_strDisplay.c_str());
  if (display == nullptr) return -1;
  Window root, parent, *children = nullptr;
  unsigned int count = 0;
  int viewable = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable) viewable++;
    }
    if (children != nullptr) XFree(children);
  }
  XCloseDisplay(display);
  return viewable;
}

int CKioskSession::iCursorPixels() { return txtest::iCursorPixels(m_strDisplay); }

std::string CKioskSession::strAccessLog() const { return strRead(fs::path(m_strDir) / "access.log"); }

std::string CKioskSession::strHookLog() const { return strRead(fs::path(m_strDir) / "TXHook.log"); }

int CKioskSession::iAccessLines(const std::string& strLine) const {
  // Entries are "date time,message"; the message is what the program wrote.
  std::string text = strAccessLog();
  int count = 0;
  for (size_t at = 0; (at = text.find("," + strLine, at)) != std::string::npos; at += strLine.size()) count++;
  return count;
}
