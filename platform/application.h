// The application object of the program's own framework: process start-up, run and exit.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// Receives the command line word by word (the framework's CCommandLineInfo). The base records
// the first plain word as the file name and the restart manager's flag; the program overrides
// ParseParam for flags of its own and passes every word on to the base.
class CCommandLineInfo {
 public:
  CCommandLineInfo();
  virtual ~CCommandLineInfo();
  // One word: bFlag TRUE when it began with '-' or '/' (that character removed); bLast TRUE for
  // the final word.
  virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

  std::string m_strFileName;        // first plain word
  BOOL m_bRestartByRestartManager;  // the flag the restart manager passes when it restarts us
};

// The one application object of a program (the framework's CWinApp). A program defines one static
// object of a class derived from it; the entry point (platform/<os>/entry.cpp: WinMain on
// Windows, main on Linux) then runs iRunApplication on it:
//   InitInstance   the program's start-up; FALSE ends the program: ExitInstance runs and the
//                  process ends with a non-zero status.
//   Run            the UI thread's work while a main window exists, then ExitInstance; its
//                  result is the process's exit status.
//   ExitInstance   the framework's clean-up after Run, or after a failed InitInstance.
class CApplication {
 public:
  CApplication();
  virtual ~CApplication();
  CApplication(const CApplication&) = delete;
  CApplication& operator=(const CApplication&) = delete;

  virtual BOOL InitInstance();
  // The base has no main window to serve and returns ExitInstance() at once. The program (or the
  // framework, once it creates a main frame) overrides it to run the message loop until its main
  // window is gone, and then returns ExitInstance().
  virtual int Run();
  virtual int ExitInstance();

  // Passes every word after the program name to info.ParseParam by the framework's rule.
  void ParseCommandLine(CCommandLineInfo& info);

  // The framework's profile key (Windows: the registry key under HKEY_CURRENT_USER\Software that
  // the framework's profile functions would use). Stored; the program never reads profile values.
  void SetRegistryKey(const char* pszKey);
  // Restart-manager support (the framework's flag values; 1: restart only) and the application
  // identity; both take effect in the base InitInstance.
  void vSetRestartManagerSupport(unsigned int uFlags);
  void SetAppID(const char* pszAppId);

  // The process's application object, or null before it is constructed.
  static CApplication* pGetApp();

  // Runs the application with the words of the command line (the program name first); returns
  // the process's exit status.
  int iRunApplication(const std::vector<std::string>& args);

  std::vector<std::string> m_args;  // the command line, program name first
  std::string m_strRegistryKey;
  std::string m_strAppId;
  unsigned int m_uRestartFlags;
};

// The framework's command-line rule: a word that begins with '-' or '/' is a flag, passed without
// that character; last is TRUE for the final word.
void vParseWords(const std::vector<std::string>& words, CCommandLineInfo& info);

// Process start-up services of the framework, in the order a program calls them.
// Error boxes of the system for failed file or device access: the error mode (Windows
// SetErrorMode; Linux shows none, nothing to set).
void vSetErrorMode(unsigned int uMode);
// The common window controls (Windows InitCommonControlsEx with ICC_WIN95_CLASSES; Linux: the
// toolkit's widgets need no registration). False when they cannot be registered.
BOOL fInitCommonControls();
// OLE and COM for the browser control on this thread (Windows OleInitialize; Linux: the engine
// is not a COM object, nothing to start). False when it fails; vOleTerm undoes a success.
BOOL fOleInit();
void vOleTerm();
// A modal box with one OK button for a start-up failure before any window exists (Windows
// MessageBoxA; Linux: the text on standard error, as no toolkit is running yet).
void vShowStartupError(const char* pszText, const char* pszCaption);

}  // namespace platform
