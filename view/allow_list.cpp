// CAllowList: addresses taken apart as an engine reads them, and matched part by part.
#include "view/allow_list.h"

namespace {

std::string strLower(std::string strText) {
  for (char& c : strText) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return strText;
}

BOOL fIsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
BOOL fIsDigit(char c) { return c >= '0' && c <= '9'; }
BOOL fIsHexDigit(char c) { return fIsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

int iHexValue(char c) {
  if (fIsDigit(c)) return c - '0';
  return (c | 0x20) - 'a' + 10;
}

// Schemes whose addresses always have a host part, where a backslash counts as a slash.
BOOL fIsSpecialScheme(const std::string& strScheme) {
  return strScheme == "http" || strScheme == "https" || strScheme == "ws" || strScheme == "wss" || strScheme == "ftp" ||
         strScheme == "file";
}

std::string strDefaultPort(const std::string& strScheme) {
  if (strScheme == "http" || strScheme == "ws") return "80";
  if (strScheme == "https" || strScheme == "wss") return "443";
  if (strScheme == "ftp") return "21";
  return "";
}

BOOL fIsDot(const std::string& strSegment) { return strSegment == "." || strLower(strSegment) == "%2e"; }

BOOL fIsDoubleDot(const std::string& strSegment) {
  std::string s = strLower(strSegment);
  return s == ".." || s == ".%2e" || s == "%2e." || s == "%2e%2e";
}

// "/a/./b/../c" becomes "/a/c", as the engine resolves a path before it asks the server.
std::string strResolveDots(const std::string& strPath) {
  std::vector<std::string> segments;
  size_t uStart = 1;
  for (;;) {
    size_t uSlash = strPath.find('/', uStart);
    std::string segment = strPath.substr(uStart, uSlash == std::string::npos ? std::string::npos : uSlash - uStart);
    BOOL bLast = uSlash == std::string::npos;
    if (fIsDoubleDot(segment)) {
      if (!segments.empty()) segments.pop_back();
      if (bLast) segments.emplace_back();
    } else if (fIsDot(segment)) {
      if (bLast) segments.emplace_back();
    } else {
      segments.push_back(segment);
    }
    if (bLast) break;
    uStart = uSlash + 1;
  }
  std::string out;
  for (const std::string& segment : segments) out += "/" + segment;
  return out.empty() ? "/" : out;
}

// The host in lower case with its percent escapes decoded; false for characters no host has.
BOOL fNormaliseHost(std::string& strHost, BOOL bPattern) {
  std::string decoded;
  for (size_t i = 0; i < strHost.size(); ++i) {
    if (strHost[i] != '%') {
      decoded += strHost[i];
      continue;
    }
    if (i + 2 >= strHost.size() || !fIsHexDigit(strHost[i + 1]) || !fIsHexDigit(strHost[i + 2])) return FALSE;
    decoded += static_cast<char>(iHexValue(strHost[i + 1]) * 16 + iHexValue(strHost[i + 2]));
    i += 2;
  }
  decoded = strLower(decoded);
  BOOL bBracket = !decoded.empty() && decoded[0] == '[';
  for (size_t i = 0; i < decoded.size(); ++i) {
    char c = decoded[i];
    BOOL bOk = fIsAlpha(c) || fIsDigit(c) || c == '-' || c == '.' || c == '_' || (bPattern && c == '*');
    if (bBracket)
      bOk = fIsHexDigit(c) || c == ':' || c == '.' || (bPattern && c == '*') || (i == 0 && c == '[') ||
            (i + 1 == decoded.size() && c == ']');
    if (!bOk) return FALSE;
  }
  if (bBracket && decoded.back() != ']') return FALSE;
  if (decoded.size() > 1 && decoded.back() == '.') decoded.pop_back();
  strHost = decoded;
  return TRUE;
}

// Digits without leading zeros, empty for the scheme's default; false for anything but a port.
BOOL fNormalisePort(std::string& strPort, const std::string& strScheme, BOOL bPattern) {
  if (strPort.empty()) return TRUE;
  if (bPattern && strPort.find('*') != std::string::npos) {
    for (char c : strPort) {
      if (!fIsDigit(c) && c != '*') return FALSE;
    }
    return TRUE;
  }
  long lValue = 0;
  for (char c : strPort) {
    if (!fIsDigit(c)) return FALSE;
    lValue = lValue * 10 + (c - '0');
    if (lValue > 65535) return FALSE;
  }
  strPort = std::to_string(lValue);
  if (strPort == strDefaultPort(strScheme)) strPort.clear();
  return TRUE;
}

BOOL fSameParts(const CUrlParts& a, const CUrlParts& b) {
  return a.m_bValid && b.m_bValid && a.m_strScheme == b.m_strScheme && a.m_bAuthority == b.m_bAuthority &&
         a.m_strHost == b.m_strHost && a.m_strPort == b.m_strPort && a.m_strRest == b.m_strRest;
}

BOOL fPatternMatches(const CUrlParts& pattern, const CUrlParts& url) {
  if (!pattern.m_bValid || !url.m_bValid || pattern.m_bAuthority != url.m_bAuthority) return FALSE;
  if (!fGlobMatch(pattern.m_strScheme, url.m_strScheme)) return FALSE;
  if (pattern.m_bAuthority &&
      (!fGlobMatch(pattern.m_strHost, url.m_strHost) || !fGlobMatch(pattern.m_strPort, url.m_strPort)))
    return FALSE;
  return fGlobMatch(pattern.m_strRest, url.m_strRest);
}

// A start page given as a file path ("C:\kiosk\index.html", "/srv/kiosk/index.html") is shown
// by the engine under its file address.
std::string strAsAddress(const std::string& strUrl) {
  BOOL bDrive = strUrl.size() > 2 && fIsAlpha(strUrl[0]) && strUrl[1] == ':' && (strUrl[2] == '\\' || strUrl[2] == '/');
  BOOL bRooted = !strUrl.empty() && (strUrl[0] == '/' || strUrl[0] == '\\');
  if (!bDrive && !bRooted) return strUrl;
  std::string path = strUrl;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return bDrive ? "file:///" + path : "file://" + path;
}

}  // namespace

CUrlParts urlParts(const std::string& strUrl, BOOL bPattern) {
  CUrlParts parts;
  // Tabs and line breaks inside are dropped, controls and blanks around the address.
  std::string text;
  for (char c : strUrl) {
    if (c != '\t' && c != '\n' && c != '\r') text += c;
  }
  size_t uFirst = 0;
  while (uFirst < text.size() && static_cast<unsigned char>(text[uFirst]) <= 0x20) ++uFirst;
  size_t uEnd = text.size();
  while (uEnd > uFirst && static_cast<unsigned char>(text[uEnd - 1]) <= 0x20) --uEnd;
  text = text.substr(uFirst, uEnd - uFirst);

  size_t uColon = text.find(':');
  if (uColon == std::string::npos || uColon == 0) return parts;
  std::string scheme = text.substr(0, uColon);
  for (size_t i = 0; i < scheme.size(); ++i) {
    char c = scheme[i];
    BOOL bOk = fIsAlpha(c) || (i > 0 && (fIsDigit(c) || c == '+' || c == '-' || c == '.')) || (bPattern && c == '*');
    if (!bOk) return parts;
  }
  parts.m_strScheme = strLower(scheme);
  std::string rest = text.substr(uColon + 1);
  // The fragment never reaches a server.
  size_t uHash = rest.find('#');
  if (uHash != std::string::npos) rest.erase(uHash);

  BOOL bSpecial = fIsSpecialScheme(parts.m_strScheme);
  if (bSpecial) {
    for (char& c : rest) {
      if (c == '\\') c = '/';
    }
  }
  if (parts.m_strScheme == "file") {
    // "file:///path" has no host, "file://host/path" one; "file:/path" none either.
    if (rest.compare(0, 2, "//") == 0) {
      rest.erase(0, 2);
    } else {
      rest.insert(0, "/");
    }
    parts.m_bAuthority = TRUE;
  } else if (bSpecial) {
    size_t uSlashes = rest.find_first_not_of('/');
    rest.erase(0, uSlashes == std::string::npos ? rest.size() : uSlashes);
    parts.m_bAuthority = TRUE;
  } else if (rest.compare(0, 2, "//") == 0) {
    rest.erase(0, 2);
    parts.m_bAuthority = TRUE;
  }
  if (!parts.m_bAuthority) {
    parts.m_strRest = parts.m_strScheme == "about" ? strLower(rest) : rest;
    parts.m_bValid = TRUE;
    return parts;
  }

  size_t uAuthorityEnd = rest.find_first_of("/?");
  std::string authority = rest.substr(0, uAuthorityEnd);
  std::string tail = uAuthorityEnd == std::string::npos ? std::string() : rest.substr(uAuthorityEnd);
  // A user name and password stand before the last '@': they are not the host.
  size_t uAt = authority.rfind('@');
  if (uAt != std::string::npos) authority.erase(0, uAt + 1);
  std::string host = authority, port;
  if (!authority.empty() && authority[0] == '[') {
    size_t uClose = authority.find(']');
    if (uClose == std::string::npos) return parts;
    host = authority.substr(0, uClose + 1);
    std::string after = authority.substr(uClose + 1);
    if (!after.empty()) {
      if (after[0] != ':') return parts;
      port = after.substr(1);
    }
  } else {
    size_t uPortColon = authority.find(':');
    if (uPortColon != std::string::npos) {
      host = authority.substr(0, uPortColon);
      port = authority.substr(uPortColon + 1);
    }
  }
  if (!fNormaliseHost(host, bPattern) || !fNormalisePort(port, parts.m_strScheme, bPattern)) return parts;
  if (parts.m_strScheme == "file" && host == "localhost") host.clear();
  if (host.empty() && parts.m_strScheme != "file") return parts;
  parts.m_strHost = host;
  parts.m_strPort = port;

  size_t uQuery = tail.find('?');
  std::string path = tail.substr(0, uQuery);
  std::string query = uQuery == std::string::npos ? std::string() : tail.substr(uQuery);
  if (path.empty()) {
    // A pattern that ends in its host with a '*' covers every path ("https://*").
    path = (bPattern && query.empty() && !authority.empty() && authority.back() == '*') ? "*" : "/";
  } else {
    path = strResolveDots(path);
  }
  parts.m_strRest = path + query;
  parts.m_bValid = TRUE;
  return parts;
}

BOOL fGlobMatch(const std::string& strPattern, const std::string& strText) {
  size_t p = 0, t = 0, uStar = std::string::npos, uStarText = 0;
  while (t < strText.size()) {
    if (p < strPattern.size() && strPattern[p] == '*') {
      uStar = p++;
      uStarText = t;
    } else if (p < strPattern.size() && strPattern[p] == strText[t]) {
      ++p;
      ++t;
    } else if (uStar != std::string::npos) {
      p = uStar + 1;
      t = ++uStarText;
    } else {
      return FALSE;
    }
  }
  while (p < strPattern.size() && strPattern[p] == '*') ++p;
  return p == strPattern.size() ? TRUE : FALSE;
}

BOOL CAllowList::fLoad(const std::string& strPatterns, std::string& strBad) {
  m_patterns.clear();
  std::vector<CUrlParts> patterns;
  size_t uStart = 0;
  for (;;) {
    size_t uSemicolon = strPatterns.find(';', uStart);
    std::string item =
        strPatterns.substr(uStart, uSemicolon == std::string::npos ? std::string::npos : uSemicolon - uStart);
    size_t uFirst = item.find_first_not_of(" \t");
    if (uFirst != std::string::npos) {
      item = item.substr(uFirst, item.find_last_not_of(" \t") - uFirst + 1);
      CUrlParts parts = urlParts(item, TRUE);
      if (!parts.m_bValid) {
        strBad = item;
        return FALSE;
      }
      patterns.push_back(parts);
    }
    if (uSemicolon == std::string::npos) break;
    uStart = uSemicolon + 1;
  }
  m_patterns = patterns;
  return TRUE;
}

void CAllowList::vAlwaysAllow(const std::string& strUrl) {
  CUrlParts parts = urlParts(strAsAddress(strUrl));
  if (parts.m_bValid) m_always.push_back(parts);
}

BOOL CAllowList::fAllows(const std::string& strUrl) const {
  if (m_patterns.empty()) return TRUE;
  CUrlParts url = urlParts(strUrl);
  if (!url.m_bValid) return FALSE;
  if (url.m_strScheme == "about" && (url.m_strRest == "blank" || url.m_strRest == "srcdoc")) return TRUE;
  for (const CUrlParts& always : m_always) {
    if (fSameParts(always, url)) return TRUE;
  }
  for (const CUrlParts& pattern : m_patterns) {
    if (fPatternMatches(pattern, url)) return TRUE;
  }
  return FALSE;
}

CAllowFilter::CAllowFilter(const CAllowList& list, CLogFile& accessLog, CStatusCounters& counters)
    : m_list(list), m_accessLog(accessLog), m_counters(counters) {}

BOOL CAllowFilter::fAllow(const std::string& strUrl, AllowRequest eRequest) const {
  if (m_list.fAllows(strUrl)) return TRUE;
  const char* pszWhat = eRequest == ALLOWREQ_NEW_WINDOW ? "許可リスト外 新規ウィンドウ URI[" : "許可リスト外 URI[";
  m_accessLog.fWrite("%s%s]->無視\n", pszWhat, strUrl.c_str());
  m_counters.vNavigation(NAVOUT_REFUSED);
  return FALSE;
}
