// CKioskSession: a private X server, a private copy of Tarvenix, xdotool and screen reads for the
// lockdown tests.
#include "tests/lockdown/kiosk_session.h"
#include "tests/support/end_process.h"
#include "tests/support/spawn.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/wait.h>

#include <cstdlib>

CKioskSession::~CKioskSession() { txtest::fEndProcess(m_Kiosk, 10000); }

bool CKioskSession::fStart(const std::string& strPage, const std::vector<std::string>& settings) {
  // The kiosk's windows come and go while the helpers look at them; a request about a window that
  // has just gone fails, and Xlib's default answer to that would end the test program.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  if (!m_X.fStart()) return m_strError = m_X.m_strError, false;
  m_strDisplay = m_X.strDisplay();
  if (!m_Folder.fInstall("tx-lockdown-")) return m_strError = m_Folder.m_strError, false;
  m_strDir = m_Folder.strDir();

  std::string ini = "[Setting]\nAccessLog=1\nBlank=\"file://" + std::string(TX_TEST_SOURCE_DIR) + "/lockdown/pages/" +
                    strPage + "\"\n";
  for (const std::string& line : settings) ini += line + "\n";
  m_Folder.fWrite("Tarvenix.ini", ini);

  // Now and then GTK cannot open a fresh server's display at the first try on a busy machine
  // (the program then logs that it has no screen): such a start is tried again once the server
  // takes connections.
  bool ready = false;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (fLaunch(ready)) break;
    if (strMonthLog().find("メインウィンドウ生成に失敗(画面なし)") == std::string::npos) break;
    fWaitUntil([&] { return m_X.fTakesConnections(); }, 5000);
  }
  if (m_Kiosk < 0) {
    m_strError =
        "Tarvenix ended at start-up; its output and program log:\n" + m_Folder.strRead("output.txt") + strMonthLog();
    return false;
  }
  if (!ready) return m_strError = "the page was not shown within a minute", false;
  // The pointer starts in the middle of the page, away from every corner and control.
  return fXdo("mousemove 640 500");
}

bool CKioskSession::fLaunch(bool& bReady) {
  txtest::Child kiosk;
  if (!m_Folder.fStart({}, m_strDisplay, kiosk)) return false;
  m_Kiosk = static_cast<pid_t>(kiosk.iHandle);
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
  return txtest::fEndProcess(m_Kiosk, 20000);
}

bool CKioskSession::fXdo(const std::string& strArgs) { return m_X.fXdo(strArgs); }

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
  std::string name = m_X.strRun("xdotool getwindowname " + std::to_string(ulWindow));
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

CWindowPlace CKioskSession::place(unsigned long ulWindow) {
  CWindowPlace place;
  Display* display = XOpenDisplay(m_strDisplay.c_str());
  if (display == nullptr) return place;
  Window child, owner = 0;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, ulWindow, &attributes) &&
      XTranslateCoordinates(display, ulWindow, DefaultRootWindow(display), 0, 0, &place.iX, &place.iY, &child)) {
    place.iWidth = attributes.width;
    place.iHeight = attributes.height;
    place.bOverrideRedirect = attributes.override_redirect != False;
  }
  if (XGetTransientForHint(display, ulWindow, &owner)) place.ulTransientFor = owner;
  XCloseDisplay(display);
  return place;
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

int CKioskSession::iCursorPixels() { return m_X.iCursorPixels(); }

int CKioskSession::iAccessLines(const std::string& strLine) const {
  // Entries are "date time,message"; the message is what the program wrote.
  std::string text = strAccessLog();
  int count = 0;
  for (size_t at = 0; (at = text.find("," + strLine, at)) != std::string::npos; at += strLine.size()) count++;
  return count;
}
