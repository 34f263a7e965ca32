// CAllowList: the operator's list of addresses the kiosk may show, and the refusal of the rest.
#pragma once

#include <string>
#include <vector>

#include "common/log_file.h"
#include "common/status_counters.h"
#include "platform/types.h"

// An address taken apart the way a browser engine reads it, for matching. Scheme and host are in
// lower case; the host has no user name or password, no trailing dot and no percent escapes; the
// port is empty for the scheme's default; the rest (path and query) has its dot segments resolved
// and no fragment. Addresses without an authority (about:, data:, mailto:) keep their text after
// the scheme in m_strRest. m_bValid false: the engine could not read it either (a bad host or port).
struct CUrlParts {
  std::string m_strScheme;
  BOOL m_bAuthority = FALSE;  // "scheme://host..." rather than "scheme:text"
  std::string m_strHost;
  std::string m_strPort;
  std::string m_strRest;
  BOOL m_bValid = FALSE;
};

// Takes an address apart; a pattern is read the same way, its '*' kept as they stand.
CUrlParts urlParts(const std::string& strUrl, BOOL bPattern = FALSE);

// Glob match of the whole text: '*' stands for any run of characters (none included).
BOOL fGlobMatch(const std::string& strPattern, const std::string& strText);

// The patterns of the setting AllowUrl, separated by ';' (blanks around each are dropped, empty
// ones skipped). Each pattern is matched against the whole address, part by part: scheme, host,
// port and the rest are each matched on their own, so a '*' in the host never reaches into the
// path and a user name ("http://allowed.example@evil/") never counts as the host. A pattern
// without a port allows only the scheme's default port; "host:*" allows any port. Scheme and host
// compare without regard to case, the rest with it. about:blank, about:srcdoc and the addresses
// given to vAlwaysAllow are allowed whatever the list says.
class CAllowList {
 public:
  CAllowList() = default;

  // Reads the patterns; false (and no list: every address allowed) when one of them is no
  // address pattern (no scheme, or a host or port that cannot be read), strBad being that one.
  BOOL fLoad(const std::string& strPatterns, std::string& strBad);
  // An address allowed besides the patterns (the start page, the command-line address).
  void vAlwaysAllow(const std::string& strUrl);

  // True when a list is loaded.
  BOOL fIsActive() const { return m_patterns.empty() ? FALSE : TRUE; }
  // True when the address may be shown; always true without a list.
  BOOL fAllows(const std::string& strUrl) const;

 private:
  std::vector<CUrlParts> m_patterns;
  std::vector<CUrlParts> m_always;
};

// What asked for the address that the list refuses.
enum AllowRequest { ALLOWREQ_NAVIGATE, ALLOWREQ_NEW_WINDOW };

// The decision with its line: a refused address writes "許可リスト外 URI[<address>]->無視\n" (a
// new window: "許可リスト外 新規ウィンドウ URI[<address>]->無視\n") to the access log and counts a
// refused navigation. The list, log and counters must outlive the filter. UI thread only.
class CAllowFilter {
 public:
  CAllowFilter(const CAllowList& list, CLogFile& accessLog, CStatusCounters& counters);

  // True when the request may go on.
  BOOL fAllow(const std::string& strUrl, AllowRequest eRequest) const;

 private:
  const CAllowList& m_list;
  CLogFile& m_accessLog;
  CStatusCounters& m_counters;
};
