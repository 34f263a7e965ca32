// The INI text of a Linux private profile file: lookups and edits on the file's bytes in memory.
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// The value of pszKey in the first section named pszSection, blanks and enclosing quotes
// dropped, not cut. False when the section or the key is absent.
//
// Syntax: lines end in LF or CRLF; a UTF-8 byte-order mark at the start is skipped; a line
// "[name]" opens a section; "key=value" is a key of the section above it; lines starting with ';'
// are comments; any other line (and every key before the first section) is kept but never matches.
// Names compare without regard to ASCII case. Any byte, NUL included, is allowed.
BOOL fProfileFind(const std::string& strText, const char* pszSection, const char* pszKey, std::string& strValue);

// Applies one write to the text: pszValue set (replaces the value of the first matching key, or
// appends "key=value" after the last non-blank line of the first matching section, or appends the
// section with the key at the end), pszValue null (removes the key's line), pszKey null (removes
// the section). New lines use the line end of the text's first line (LF when it has none). Every
// other byte of the text stays as it was.
void vProfileEdit(std::string& strText, const char* pszSection, const char* pszKey, const char* pszValue);

}  // namespace platform
