// The real Tarvenix on a private X server, driven with real input through xdotool.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/kiosk_folder.h"
#include "tests/support/wait.h"
#include "tests/support/x_session.h"

using txtest::fWaitUntil;

// Colour of one screen pixel.
struct CPixel {
  int r = -1, g = -1, b = -1;
};

// Where a top-level window is on the screen, the window it is transient for (0: none), and
// whether it places itself (override-redirect: menus, tooltips) rather than being a window.
struct CWindowPlace {
  int iX = -1, iY = -1, iWidth = 0, iHeight = 0;
  unsigned long ulTransientFor = 0;
  bool bOverrideRedirect = false;
};

// A private Xvfb (1280x800) and a copy of Tarvenix with its neighbours in a fresh folder, with a
// private registry store; everything is stopped and removed with the object.
class CKioskSession {
 public:
  CKioskSession() = default;
  ~CKioskSession();
  CKioskSession(const CKioskSession&) = delete;
  CKioskSession& operator=(const CKioskSession&) = delete;

  // Starts the server, installs the program with the settings lines (AccessLog=1 and Blank, the
  // page under tests/lockdown/pages, come first), starts it and waits until the page has loaded
  // and drawn. m_strError says why not.
  bool fStart(const std::string& strPage, const std::vector<std::string>& settings);
  // Ends the program as a session end would (SIGTERM: no question) and waits for it.
  bool fStop();

  bool fXdo(const std::string& strArgs);
  // A pixel of the screen, and one of the page.
  CPixel pixel(int iX, int iY);
  CPixel pagePixel(int iX, int iY) { return pixel(m_iLeft + iX, m_iTop + iY); }
  // Mapped top-level windows of the program's process (main frame, pop-ups, dialogs).
  std::vector<unsigned long> visibleWindows();
  std::string strWindowName(unsigned long ulWindow);
  CWindowPlace place(unsigned long ulWindow);
  // Mapped top-level windows on the server, override-redirect ones (menus) included.
  int iViewableTopLevels();
  // Visible (not fully transparent) pixels of the cursor the server shows now; -1 unknown.
  int iCursorPixels();

  std::string strAccessLog() const { return m_Folder.strAccessLog(); }
  std::string strHookLog() const { return m_Folder.strRead("TXHook.log"); }
  std::string strMonthLog() const { return m_Folder.strMonthLog(); }
  // Occurrences of strLine at the end of an access-log entry.
  int iAccessLines(const std::string& strLine) const;

  std::string m_strDisplay;
  std::string m_strDir;
  std::string m_strError;
  pid_t m_Kiosk = -1;

 private:
  // Starts the program and waits for its page; false when it ended. bReady: the page is shown.
  bool fLaunch(bool& bReady);
  // Finds the page's top left corner in the window once the page has drawn its boxes.
  bool fFindPage(unsigned long ulWindow);

  txtest::CXSession m_X;
  txtest::CKioskFolder m_Folder;
  int m_iLeft = 0, m_iTop = 0;
};
