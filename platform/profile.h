// Private profile (INI) files: read and write one key of a section, as the Win32 profile calls do.
#pragma once

#include "platform/types.h"

namespace platform {

// GetPrivateProfileStringA for one key: copies the value of pszKey in pszSection of the file into
// buf (size bytes, always terminated when size > 0) and returns the bytes copied, without the
// terminator. The value is cut to size - 1 bytes. Section and key names match without regard to
// case, the first matching section and key win, blanks around names and values are dropped and a
// value enclosed in double (or single) quotes reads without them. A missing file, section or key
// gives pszDefault (null: empty) with its trailing blanks dropped. Null section or key names (the
// Win32 listing forms) are not used by the program; on Linux they give the empty text.
unsigned int uGetPrivateProfileString(const char* pszSection, const char* pszKey, const char* pszDefault, char* buf,
                                      unsigned int size, const char* pszFile);

// WritePrivateProfileStringA: sets pszKey in pszSection to pszValue, replacing the first matching
// key in place or appending it at the end of the section; the section and the file are created
// when missing. A null value deletes the key, a null key deletes the section. Section, key and
// value all null with a file name flushes the platform's profile cache for that file and returns
// FALSE, as the Win32 call does. Every other line of the file keeps its bytes. False when the file
// cannot be written; nothing changes then.
BOOL fWritePrivateProfileString(const char* pszSection, const char* pszKey, const char* pszValue, const char* pszFile);

}  // namespace platform
