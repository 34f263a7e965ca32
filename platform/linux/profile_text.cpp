// INI text lookups and edits for the Linux private profile files, and the UTF-16 files' code.
#include "platform/linux/profile_text.h"

#include <cstdint>
#include <cstring>

namespace platform {
namespace {

typedef std::string::size_type Pos;

enum LineKind { LINE_BLANK, LINE_SECTION, LINE_KEY };

// One line of the text: [begin, end) is its content, [end, next) its line end.
struct Line {
  Pos begin = 0, end = 0, next = 0;
  LineKind kind = LINE_BLANK;
  Pos nameBegin = 0, nameEnd = 0;    // section or key name, trimmed
  BOOL bValue = FALSE;               // a key with "="
  Pos valueBegin = 0, valueEnd = 0;  // key value, trimmed; valueBegin - 1 is at or after the '='
};

BOOL fIsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

void vTrim(const std::string& s, Pos& b, Pos& e) {
  while (b < e && fIsBlank(s[b])) ++b;
  while (e > b && fIsBlank(s[e - 1])) --e;
}

// The first c in [b, e), or e. Every search stays inside its line, so a large file is read in
// one pass.
Pos posFind(const std::string& s, char c, Pos b, Pos e) {
  const void* at = b < e ? std::memchr(s.data() + b, c, e - b) : nullptr;
  return at == nullptr ? e : static_cast<Pos>(static_cast<const char*>(at) - s.data());
}

// The last c in [b, e), or e.
Pos posFindLast(const std::string& s, char c, Pos b, Pos e) {
  for (Pos at = e; at > b; --at) {
    if (s[at - 1] == c) return at - 1;
  }
  return e;
}

// A name or value ends at its first NUL, as the Windows functions' strings do.
Pos posCut(const std::string& s, Pos b, Pos e) { return posFind(s, '\0', b, e); }

char cLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The asked-for name, without the blanks around it.
std::string strAsked(const char* pszName) {
  std::string name = pszName;
  Pos b = 0, e = name.size();
  vTrim(name, b, e);
  return name.substr(b, e - b);
}

BOOL fNameIs(const std::string& s, Pos b, Pos e, const std::string& strName) {
  e = posCut(s, b, e);
  if (e - b != strName.size()) return FALSE;
  for (size_t i = 0; i < strName.size(); ++i) {
    if (cLower(s[b + i]) != cLower(strName[i])) return FALSE;
  }
  return TRUE;
}

// Where the text proper starts: after the byte-order mark.
Pos posStart(const std::string& s) { return s.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0; }

// Reads the line that starts at pos (pos < size).
Line lineAt(const std::string& s, Pos pos) {
  Line line;
  line.begin = pos;
  if (pos == 0) pos = posStart(s);
  Pos eol = s.find_first_of("\r\n", pos);
  if (eol == std::string::npos) {
    line.end = line.next = s.size();
  } else {
    line.end = eol;
    line.next = (s[eol] == '\r' && eol + 1 < s.size() && s[eol + 1] == '\n') ? eol + 2 : eol + 1;
  }
  Pos b = pos, e = line.end;
  vTrim(s, b, e);
  if (b == e) return line;
  if (s[b] == '[') {
    Pos close = posFindLast(s, ']', b + 1, e);
    if (close < e) {
      line.kind = LINE_SECTION;
      line.nameBegin = b + 1;
      line.nameEnd = close;
      vTrim(s, line.nameBegin, line.nameEnd);
      return line;
    }
  }
  line.kind = LINE_KEY;
  Pos eq = posFind(s, '=', b, e);
  line.nameBegin = b;
  if (eq == e) {
    line.nameEnd = e;
    return line;
  }
  line.nameEnd = eq;
  vTrim(s, line.nameBegin, line.nameEnd);
  line.bValue = TRUE;
  line.valueBegin = eq + 1;
  line.valueEnd = e;
  vTrim(s, line.valueBegin, line.valueEnd);
  return line;
}

// Where the first section named pszSection lies, and what the key search in it found.
struct Place {
  BOOL bSection = FALSE;
  BOOL bHeader = FALSE;  // the section has a header line (the one of "" may have none)
  Line header;
  Pos sectionEnd = 0;   // start of the next section header, or the text's end
  Pos lastContent = 0;  // end (with line end) of the last non-blank line of the section
  BOOL bKey = FALSE;
  Line key;
};

Place placeOf(const std::string& s, const char* pszSection, const char* pszKey) {
  Place place;
  const std::string section = strAsked(pszSection);
  const std::string key = pszKey != nullptr ? strAsked(pszKey) : std::string();
  Pos pos = 0;
  if (section.empty()) {
    // The keys before the first header.
    place.bSection = TRUE;
  } else {
    while (pos < s.size() && !place.bSection) {
      Line line = lineAt(s, pos);
      if (line.kind == LINE_SECTION && fNameIs(s, line.nameBegin, line.nameEnd, section)) {
        place.bSection = place.bHeader = TRUE;
        place.header = line;
      }
      pos = line.next;
    }
    if (!place.bSection) return place;
  }
  place.lastContent = place.bHeader ? place.header.next : posStart(s);
  while (pos < s.size()) {
    Line line = lineAt(s, pos);
    if (line.kind == LINE_SECTION) break;
    if (line.kind == LINE_KEY) {
      place.lastContent = line.next;
      if (!place.bKey && pszKey != nullptr && fNameIs(s, line.nameBegin, line.nameEnd, key)) {
        place.bKey = TRUE;
        place.key = line;
      }
    }
    pos = line.next;
  }
  place.sectionEnd = pos;
  return place;
}

std::string strLineEnd(const std::string& s) {
  Pos eol = s.find_first_of("\r\n");
  if (eol == std::string::npos || s[eol] == '\n') return "\n";
  return s.compare(eol, 2, "\r\n") == 0 ? "\r\n" : "\r";
}

BOOL fEndsLine(const std::string& s, Pos at) { return at > 0 && (s[at - 1] == '\n' || s[at - 1] == '\r'); }

// UTF-8 of one code point (surrogates included, in their own three-byte form).
void vPutUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The code point of the UTF-8 sequence at pos and its length; 0 when none starts there. The
// three-byte forms of surrogates are accepted, as strProfileText makes them.
size_t uGetUtf8(const std::string& s, Pos pos, uint32_t& c) {
  unsigned char b0 = static_cast<unsigned char>(s[pos]);
  size_t n = b0 < 0x80 ? 1 : (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || pos + n > s.size()) return 0;
  if (n == 1) {
    c = b0;
    return 1;
  }
  c = b0 & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) {
    unsigned char b = static_cast<unsigned char>(s[pos + i]);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  static const uint32_t s_uLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < s_uLeast[n] || c > 0x10FFFF) return 0;  // overlong or beyond Unicode
  return n;
}

void vPutUnit(std::string& out, uint32_t unit, BOOL bBigEndian) {
  char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
  out += bBigEndian ? high : low;
  out += bBigEndian ? low : high;
}

}  // namespace

BOOL fProfileFind(const std::string& strText, const char* pszSection, const char* pszKey, std::string& strValue) {
  if (pszSection == nullptr || pszKey == nullptr) return FALSE;
  Place place = placeOf(strText, pszSection, pszKey);
  if (!place.bKey || !place.key.bValue) return FALSE;
  Pos b = place.key.valueBegin, e = posCut(strText, b, place.key.valueEnd);
  if (e - b >= 2 && (strText[b] == '"' || strText[b] == '\'') && strText[e - 1] == strText[b]) {
    ++b;
    --e;
  }
  strValue.assign(strText, b, e - b);
  return TRUE;
}

void vProfileEdit(std::string& strText, const char* pszSection, const char* pszKey, const char* pszValue) {
  if (pszSection == nullptr) return;
  Place place = placeOf(strText, pszSection, pszKey);
  const std::string eol = strLineEnd(strText);
  if (pszKey == nullptr) {
    if (place.bHeader) strText.erase(place.header.begin, place.sectionEnd - place.header.begin);
    return;
  }
  if (pszValue == nullptr) {
    if (place.bKey) strText.erase(place.key.begin, place.key.next - place.key.begin);
    return;
  }
  if (place.bKey) {
    // Everything up to the value stays as the operator wrote it.
    if (place.key.bValue) {
      strText.replace(place.key.valueBegin, place.key.end - place.key.valueBegin, pszValue);
    } else {
      strText.replace(place.key.nameEnd, place.key.end - place.key.nameEnd, std::string("=") + pszValue);
    }
    return;
  }
  std::string entry = std::string(pszKey) + "=" + pszValue + eol;
  if (place.bSection) {
    Pos at = place.lastContent;
    if (at > posStart(strText) && !fEndsLine(strText, at)) entry = eol + entry;  // the last line had no line end
    strText.insert(at, entry);
    return;
  }
  if (!strText.empty() && !fEndsLine(strText, strText.size())) strText += eol;
  strText += "[" + std::string(pszSection) + "]" + eol + entry;
}

std::string strProfileText(const std::string& strBytes, ProfileCode& code) {
  code = PROFILE_NARROW;
  if (strBytes.compare(0, 2, "\xFF\xFE") == 0) code = PROFILE_UTF16LE;
  if (strBytes.compare(0, 2, "\xFE\xFF") == 0) code = PROFILE_UTF16BE;
  if (code == PROFILE_NARROW) return strBytes;
  const BOOL big = code == PROFILE_UTF16BE;
  std::string text;
  text.reserve(strBytes.size() * 3 / 2);
  const size_t units = strBytes.size() / 2;
  auto unitAt = [&](size_t i) -> uint32_t {
    uint32_t first = static_cast<unsigned char>(strBytes[2 * i]),
             second = static_cast<unsigned char>(strBytes[2 * i + 1]);
    return big ? (first << 8 | second) : (second << 8 | first);
  };
  for (size_t i = 1; i < units; ++i) {
    uint32_t unit = unitAt(i);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
      uint32_t next = unitAt(i + 1);
      if (next >= 0xDC00 && next < 0xE000) {
        vPutUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
        ++i;
        continue;
      }
    }
    vPutUtf8(text, unit);
  }
  if (strBytes.size() % 2 != 0) vPutUtf8(text, static_cast<unsigned char>(strBytes.back()));
  return text;
}

std::string strProfileBytes(const std::string& strText, ProfileCode code) {
  if (code == PROFILE_NARROW) return strText;
  const BOOL big = code == PROFILE_UTF16BE;
  std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
  bytes.reserve(2 + strText.size() * 2);
  for (Pos pos = 0; pos < strText.size();) {
    uint32_t c = 0;
    size_t n = uGetUtf8(strText, pos, c);
    if (n == 0) {
      c = 0xFFFD;
      n = 1;
    }
    if (c >= 0x10000) {
      vPutUnit(bytes, 0xD800 + ((c - 0x10000) >> 10), big);
      vPutUnit(bytes, 0xDC00 + ((c - 0x10000) & 0x3FF), big);
    } else {
      vPutUnit(bytes, c, big);
    }
    pos += n;
  }
  return bytes;
}

std::string strProfileValue(const std::string& strValue, ProfileCode code) {
  if (code == PROFILE_NARROW) return strValue;
  std::string value;
  for (Pos pos = 0; pos < strValue.size();) {
    uint32_t c = 0;
    size_t n = uGetUtf8(strValue, pos, c);
    if (n == 3 && c >= 0xD800 && c < 0xE000) {
      value += '?';
    } else {
      value.append(strValue, pos, n == 0 ? 1 : n);
    }
    pos += n == 0 ? 1 : n;
  }
  return value;
}

}  // namespace platform
