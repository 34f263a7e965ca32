// File-system queries and the path conventions of the platform.
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// The separator of the paths the program builds: '\\' on Windows, '/' on Linux.
char cPathSeparator();

// True when the byte can start a two-byte character of the process code page (CP932 on
// Windows); a path's separators and dots are never taken as the second byte of such a character.
BOOL fIsLeadByte(unsigned char c);

// True when the path names an existing regular file (a directory gives false).
BOOL fIsRegularFile(const char* pszPath);

// The name under which the entry the path names is stored in its directory (FindFirstFileA's
// long name). False when no such entry exists.
BOOL fFindEntryName(const char* pszPath, std::string& strName);

// Deletes a file; false when it could not be deleted.
BOOL fDeleteFile(const char* pszPath);

}  // namespace platform
