// INI text lookups and edits for the Linux private profile files.
#include "platform/linux/profile_text.h"

#include <cstring>

namespace platform {
namespace {

typedef std::string::size_type Pos;

enum LineKind { LINE_OTHER, LINE_SECTION, LINE_KEY };

// One line of the text: [begin, end) is its content, [end, next) its line end.
struct Line {
  Pos begin = 0, end = 0, next = 0;
  LineKind kind = LINE_OTHER;
  Pos nameBegin = 0, nameEnd = 0;    // section or key name, trimmed
  Pos valueBegin = 0, valueEnd = 0;  // key value, trimmed; valueBegin - 1 is the '='
};

BOOL fIsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

void vTrim(const std::string& s, Pos& b, Pos& e) {
  while (b < e && fIsBlank(s[b])) ++b;
  while (e > b && fIsBlank(s[e - 1])) --e;
}

char cLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

BOOL fNameIs(const std::string& s, Pos b, Pos e, const char* pszName) {
  size_t n = std::strlen(pszName);
  if (e - b != n) return FALSE;
  for (size_t i = 0; i < n; ++i) {
    if (cLower(s[b + i]) != cLower(pszName[i])) return FALSE;
  }
  return TRUE;
}

// Reads the line that starts at pos (pos < size).
Line lineAt(const std::string& s, Pos pos) {
  Line line;
  line.begin = pos;
  if (pos == 0 && s.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;  // byte-order mark
  Pos nl = s.find('\n', pos);
  line.next = (nl == std::string::npos) ? s.size() : nl + 1;
  line.end = (nl == std::string::npos) ? s.size() : nl;
  if (line.end > pos && s[line.end - 1] == '\r') --line.end;
  Pos b = pos, e = line.end;
  vTrim(s, b, e);
  if (b == e || s[b] == ';') return line;
  if (s[b] == '[') {
    Pos close = s.find(']', b);
    if (close == std::string::npos || close >= e) return line;
    line.kind = LINE_SECTION;
    line.nameBegin = b + 1;
    line.nameEnd = close;
    vTrim(s, line.nameBegin, line.nameEnd);
    return line;
  }
  Pos eq = s.find('=', b);
  if (eq == std::string::npos || eq >= e) return line;
  line.kind = LINE_KEY;
  line.nameBegin = b;
  line.nameEnd = eq;
  vTrim(s, line.nameBegin, line.nameEnd);
  line.valueBegin = eq + 1;
  line.valueEnd = e;
  vTrim(s, line.valueBegin, line.valueEnd);
  return line;
}

// Where the first section named pszSection lies, and what the key search in it found.
struct Place {
  BOOL bSection = FALSE;
  Line header;
  Pos sectionEnd = 0;   // start of the next section header, or the text's end
  Pos lastContent = 0;  // end (with line end) of the last non-blank line of the section
  BOOL bKey = FALSE;
  Line key;
};

Place placeOf(const std::string& s, const char* pszSection, const char* pszKey) {
  Place place;
  Pos pos = 0;
  while (pos < s.size() && !place.bSection) {
    Line line = lineAt(s, pos);
    if (line.kind == LINE_SECTION && fNameIs(s, line.nameBegin, line.nameEnd, pszSection)) {
      place.bSection = TRUE;
      place.header = line;
    }
    pos = line.next;
  }
  if (!place.bSection) return place;
  place.lastContent = place.header.next;
  while (pos < s.size()) {
    Line line = lineAt(s, pos);
    if (line.kind == LINE_SECTION) break;
    Pos b = line.begin, e = line.end;
    vTrim(s, b, e);
    if (b < e) place.lastContent = line.next;
    if (!place.bKey && pszKey != nullptr && line.kind == LINE_KEY && fNameIs(s, line.nameBegin, line.nameEnd, pszKey)) {
      place.bKey = TRUE;
      place.key = line;
    }
    pos = line.next;
  }
  place.sectionEnd = pos;
  return place;
}

std::string strLineEnd(const std::string& s) {
  Pos nl = s.find('\n');
  return (nl != std::string::npos && nl > 0 && s[nl - 1] == '\r') ? "\r\n" : "\n";
}

}  // namespace

BOOL fProfileFind(const std::string& strText, const char* pszSection, const char* pszKey, std::string& strValue) {
  if (pszSection == nullptr || pszKey == nullptr) return FALSE;
  Place place = placeOf(strText, pszSection, pszKey);
  if (!place.bKey) return FALSE;
  Pos b = place.key.valueBegin, e = place.key.valueEnd;
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
    if (place.bSection) strText.erase(place.header.begin, place.sectionEnd - place.header.begin);
    return;
  }
  if (pszValue == nullptr) {
    if (place.bKey) strText.erase(place.key.begin, place.key.next - place.key.begin);
    return;
  }
  if (place.bKey) {
    // Everything up to the value stays as the operator wrote it.
    strText.replace(place.key.valueBegin, place.key.end - place.key.valueBegin, pszValue);
    return;
  }
  std::string entry = std::string(pszKey) + "=" + pszValue + eol;
  if (place.bSection) {
    Pos at = place.lastContent;
    if (at > 0 && strText[at - 1] != '\n') entry = eol + entry;  // the last line had no line end
    strText.insert(at, entry);
    return;
  }
  if (!strText.empty() && strText.back() != '\n') strText += eol;
  strText += "[" + std::string(pszSection) + "]" + eol + entry;
}

}  // namespace platform
