// Running processes found by executable file name, and the start of the kiosk's run script.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace platform {

// The executable file name of the kiosk browser as the process list shows it:
// "Tarvenix.exe" on Windows, "Tarvenix" on Linux.
const char* pszKioskExeName();

// The file name of the script that starts the kiosk, kept beside the control command:
// "TarvenixRun.bat" on Windows, "TarvenixRun.sh" on Linux.
const char* pszRunScriptName();

// Looks for a running process whose executable file name (without directory) equals pszExeName
// without regard to case; the first one in the process list wins and its id is stored in uPid.
// False when there is none or the list could not be read. Windows: a toolhelp snapshot. Linux:
// /proc in ascending id order, the name of /proc/<id>/exe; for processes of other accounts, whose
// exe link is closed to us, the command name together with the file name of the first argument.
// Processes that have ended but not been reaped do not count.
BOOL fFindProcessByName(const char* pszExeName, uint32_t& uPid);

// Starts the run script at the full path, in the caller's current directory, and does not wait
// for it. Windows: ShellExecuteA "open" with the normal show state. Linux: executed directly in a
// new session with its standard streams on /dev/null; a missing or non-executable file is a
// failure. True only when the script was started.
BOOL fStartRunScript(const std::string& strPath);

}  // namespace platform
