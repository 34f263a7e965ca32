// The running program's file name and the machine's well-known folders.
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// Copies the running program's full path into buf (size bytes, terminated). Returns its length,
// or size when it was cut (as GetModuleFileNameA does), or 0 on failure.
unsigned int uGetModuleFileName(char* buf, unsigned int size);

// The Windows directory (Linux: "/etc") and the system directory (Linux: "/usr/lib"), copied
// into buf as GetWindowsDirectoryA does: the length, the size needed when too small, 0 on failure.
unsigned int uGetWindowsDirectory(char* buf, unsigned int size);
unsigned int uGetSystemDirectory(char* buf, unsigned int size);

// The per-user folder named "Desktop" or "Favorites" (Windows: the Explorer "Shell Folders"
// value; Linux: the XDG user folder, else a folder in the home directory). False when unknown.
BOOL fGetShellFolder(const char* pszName, std::string& strFolder);

// Creates a new, empty, uniquely named file whose name starts with pszPrefix in the temporary
// directory and leaves it on disk. False when none could be made.
BOOL fCreateTempFile(const char* pszPrefix, std::string& strPath);

}  // namespace platform
