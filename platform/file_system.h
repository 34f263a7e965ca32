// File-system queries and the path conventions of the platform.
#pragma once

#include <cstdio>
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

// fopen with the C library's modes ("r", "a", "w", each with "b" or "t"), except that a symbolic
// link at the path is never followed (Linux: O_NOFOLLOW; Windows has no such links in the
// program's folders), so that a file the program writes in a folder another account can write
// cannot be turned into a link to some other file. Null when the file cannot be opened.
std::FILE* pOpenFile(const char* pszPath, const char* pszMode);

// Deletes a file; false when it could not be deleted.
BOOL fDeleteFile(const char* pszPath);

}  // namespace platform
