// The INI text of a Linux private profile file: lookups and edits on the file's bytes in memory.
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// The value of pszKey in the first section named pszSection, blanks and enclosing quotes
// dropped, not cut. False when the section or the key is absent, or the key has no value.
//
// Syntax, as Windows' own profile functions read a file: lines end in CR LF, LF or CR alone; a
// UTF-8 byte-order mark at the start is skipped; blanks are space, tab, VT, FF and Ctrl-Z. A line
// "[name]" opens a section whose name runs to the line's last ']'. Every other non-blank line is
// a key of the section above it: "key=value", or "key" alone, a key without a value that reads
// as missing yet hides later keys of its name (a line starting with ';' is such a key too, so
// "; note" matches no name the program asks for). Keys before the first section belong to the
// section named "", which a later "[]" never replaces. Names and values end at a NUL byte; names
// compare without regard to ASCII case, both the file's and the asked-for names without the
// blanks around them.
BOOL fProfileFind(const std::string& strText, const char* pszSection, const char* pszKey, std::string& strValue);

// Applies one write to the text: pszValue set (replaces the value of the first matching key, or
// gives a key without a value its value, or appends "key=value" after the last non-blank line of
// the first matching section, or appends the section with the key at the end), pszValue null
// (removes the key's line), pszKey null (removes the section). New lines use the line end of the
// text's first line (LF when it has none). Every other byte of the text stays as it was.
void vProfileEdit(std::string& strText, const char* pszSection, const char* pszKey, const char* pszValue);

// The code of a file's bytes: a UTF-16 file starts with its byte-order mark (FF FE little
// endian, as Notepad's "Unicode", or FE FF); anything else is the narrow text itself.
enum ProfileCode { PROFILE_NARROW, PROFILE_UTF16LE, PROFILE_UTF16BE };

// The file's bytes as text for the functions above: a UTF-16 file without its mark in UTF-8
// (a surrogate without its partner kept in its own three-byte form and an odd last byte read as
// the character of its value, so that strProfileBytes gives the file back), other files as
// they are.
std::string strProfileText(const std::string& strBytes, ProfileCode& code);

// The text back in the file's code, with the mark for UTF-16; bytes that are not UTF-8 become
// U+FFFD there.
std::string strProfileBytes(const std::string& strText, ProfileCode code);

// A value read from a UTF-16 file as the program's narrow text: a surrogate without its partner
// (no character of any code page) becomes '?', as Windows gives it.
std::string strProfileValue(const std::string& strValue, ProfileCode code);

}  // namespace platform
