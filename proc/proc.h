// Process lookup by executable file name (CProc) and the Windows release as an OS code.
#pragma once

#include <cstdint>
#include <string>

#include "platform/os_version.h"
#include "platform/types.h"

// Decides the OS code and the edition text from the version data: -1 when the release is not
// recognised, 0 Win32s, 1 to 6 Windows 95 to Me, 7 to 28 NT 3 to NT 5.2, above 28 NT 6.x.
// Empties the edition text first. True when the release was examined; false for an unknown
// platform id (code -1). A pure function of its input.
BOOL fDecideOSVersion(const platform::OSVersionData& data, int& iOSCode, std::string& strEdition);

// The same for the running system. False when the system gave no version data (iOSCode keeps the
// caller's value; always so on Linux) or an unknown platform id (iOSCode -1).
BOOL fGetOSVersion(int& iOSCode, std::string& strEdition);

class CProc {
 public:
  // Detects the OS code (-1 when unknown or without version data).
  CProc();
  virtual ~CProc();

  // True when a running process has the executable file name pszExeName (no directory; compared
  // without regard to case); the id of the first one found is stored in uPid.
  BOOL fFindProcess(const char* pszExeName, uint32_t& uPid);

  int m_iOSCode;
};
