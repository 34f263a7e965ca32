// CAllowList and CAllowFilter: which addresses the kiosk may show, and the refusal's line and count.
#include "view/allow_list.h"

#include <gtest/gtest.h>

#include "tests/view/log_capture.h"

namespace {

struct CCase {
  const char* pszPatterns;
  const char* pszUrl;
  bool bAllowed;
};

// Each pattern is matched against the whole address, part by part, as the engine reads it.
const CCase kCases[] = {
    // Whole-address match with '*' as any run.
    {"https://*.example.com/*", "https://www.example.com/", true},
    {"https://*.example.com/*", "https://a.b.example.com/x/y?q=1", true},
    {"https://*.example.com/*", "https://example.com/", false},
    {"https://*.example.com/*", "http://www.example.com/", false},
    {"http://10.0.0.5:8080/*", "http://10.0.0.5:8080/page.html", true},
    {"http://10.0.0.5:8080/*", "http://10.0.0.5/page.html", false},
    {"http://10.0.0.5:8080/*", "http://10.0.0.5:8081/", false},
    {"http://host/a.html", "http://host/a.html", true},
    {"http://host/a.html", "http://host/a.html?x", false},
    {"http://host/a.html", "http://host/a.htmlx", false},
    {"http://host/kiosk/*", "http://host/kiosk", false},
    // A '*' in the host does not reach into the path, the query or the user name.
    {"https://*.example.com/*", "https://evil.test/.example.com/", false},
    {"https://*.example.com/*", "https://evil.test?.example.com/", false},
    {"https://*.example.com/*", "https://evil.test\\.example.com/", false},
    {"https://*.example.com/*", "https://evil.test#.example.com/", false},
    {"https://*.example.com/*", "https://www.example.com.evil.test/", false},
    {"https://*.example.com/*", "https://www.example.com@evil.test/", false},
    // A user name is never the host.
    {"http://allowed.example/*", "http://allowed.example@evil/", false},
    {"http://allowed.example/*", "http://allowed.example:80@evil/", false},
    {"http://allowed.example/*", "http://evil@allowed.example/", true},
    {"http://allowed.example/*", "http://a@b@allowed.example/x", true},
    // Scheme and host without regard to case; the path with it.
    {"https://www.example.com/*", "HTTPS://WWW.Example.COM/", true},
    {"HTTPS://WWW.EXAMPLE.COM/*", "https://www.example.com/a", true},
    {"https://www.example.com/Kiosk/*", "https://www.example.com/kiosk/a", false},
    // Default ports, written or not; leading zeros; a trailing dot of the host; escapes in it.
    {"http://host/*", "http://host:80/a", true},
    {"http://host/*", "http://host:0080/a", true},
    {"https://host/*", "https://host:443/", true},
    {"https://host/*", "https://host:80/", false},
    {"http://host:*/*", "http://host:9999/", true},
    {"http://host:*/*", "http://host/", true},
    {"http://host/*", "http://host./a", true},
    {"http://host/*", "http://%68ost/a", true},
    {"http://host/*", "http://ho%2Fst/a", false},
    {"http://host/*", "http://host:99999/", false},
    {"http://host/*", "http://host:8o/", false},
    // Dot segments are resolved as the engine resolves them before it asks the server.
    {"http://host/kiosk/*", "http://host/kiosk/../admin/", false},
    {"http://host/kiosk/*", "http://host/kiosk/%2e%2e/admin/", false},
    {"http://host/kiosk/*", "http://host/kiosk/.%2E/admin/", false},
    {"http://host/kiosk/*", "http://host/kiosk\\..\\admin", false},
    {"http://host/kiosk/*", "http://host/other/../kiosk/a", true},
    {"http://host/kiosk/*", "http://host/kiosk/./a", true},
    // Blanks and controls around the address, tabs and line breaks inside, the fragment.
    {"http://host/a", "  http://host/a\n", true},
    {"http://host/a", "http://ho\tst/a", true},
    {"http://host/a", "http://host/a#top", true},
    {"http://*.example.com/*", "http://evil\n.example.com/", true},
    // Special schemes take any number of slashes (and backslashes) before the host.
    {"http://host/*", "http:host/a", true},
    {"http://host/*", "http:\\\\host/a", true},
    {"http://host/*", "http:///evil/host/a", false},
    // Addresses without an authority, and file addresses.
    {"data:*", "data:text/html,hello", true},
    {"http://*", "data:text/html,hello", false},
    {"http://*", "javascript:alert(1)", false},
    {"file:///srv/kiosk/*", "file:///srv/kiosk/index.html", true},
    {"file:///srv/kiosk/*", "file://localhost/srv/kiosk/index.html", true},
    {"file:///srv/kiosk/*", "file:///srv/kiosk/../secret", false},
    {"file:///srv/kiosk/*", "file://evil/srv/kiosk/index.html", false},
    // A host-only pattern ending in '*' covers every path.
    {"https://*", "https://anything.test/x", true},
    {"https://*", "http://anything.test/x", false},
    // IPv6 hosts.
    {"http://[::1]:8080/*", "http://[::1]:8080/a", true},
    {"http://[::1]/*", "http://[::1]:8080/a", false},
    // Several patterns.
    {"http://a.test/*; https://b.test/* ;;", "https://b.test/x", true},
    {"http://a.test/*; https://b.test/*", "https://c.test/x", false},
    // Always allowed.
    {"http://a.test/*", "about:blank", true},
    {"http://a.test/*", "ABOUT:BLANK", true},
    {"http://a.test/*", "about:srcdoc", true},
    {"http://a.test/*", "about:config", false},
    // Not an address at all.
    {"http://a.test/*", "", false},
    {"http://a.test/*", "not an address", false},
};

TEST(AllowList, MatchesWholeAddressesPartByPart) {
  for (const CCase& c : kCases) {
    CAllowList list;
    std::string bad;
    ASSERT_TRUE(list.fLoad(c.pszPatterns, bad)) << c.pszPatterns << " bad: " << bad;
    EXPECT_EQ(list.fAllows(c.pszUrl) != FALSE, c.bAllowed) << c.pszPatterns << " vs " << c.pszUrl;
  }
}

TEST(AllowList, StartPageAndCommandLineAddressAlwaysAllowed) {
  CAllowList list;
  std::string bad;
  ASSERT_TRUE(list.fLoad("https://allowed.test/*", bad));
  list.vAlwaysAllow("http://127.0.0.1:8000/start.html");
  list.vAlwaysAllow("C:\\Kiosk\\index.html");
  list.vAlwaysAllow("/srv/kiosk/start.html");
  EXPECT_TRUE(list.fAllows("http://127.0.0.1:8000/start.html"));
  EXPECT_TRUE(list.fAllows("HTTP://127.0.0.1:8000/start.html#x"));
  EXPECT_FALSE(list.fAllows("http://127.0.0.1:8000/other.html"));
  EXPECT_FALSE(list.fAllows("http://127.0.0.1:8000/start.html?more"));
  EXPECT_TRUE(list.fAllows("file:///C:/Kiosk/index.html"));
  EXPECT_TRUE(list.fAllows("file:///srv/kiosk/start.html"));
  EXPECT_FALSE(list.fAllows("file:///srv/kiosk/other.html"));
}

TEST(AllowList, BadPatternLeavesNoList) {
  const char* const bads[] = {"www.example.com/*", "http://a.test/*;example.com",
                              "http://ho st/*",    "http://host:80x/*",
                              "http://[::1/*",     "1http://host/"};
  for (const char* pszPatterns : bads) {
    CAllowList list;
    std::string bad;
    EXPECT_FALSE(list.fLoad(pszPatterns, bad)) << pszPatterns;
    EXPECT_FALSE(list.fIsActive()) << pszPatterns;
    EXPECT_FALSE(bad.empty()) << pszPatterns;
    EXPECT_TRUE(list.fAllows("http://anything.test/"));
  }
  CAllowList list;
  std::string bad;
  EXPECT_FALSE(list.fLoad("http://a.test/*; nohost", bad));
  EXPECT_EQ(bad, "nohost");
}

TEST(AllowList, NoListAllowsEverything) {
  CAllowList list;
  EXPECT_FALSE(list.fIsActive());
  EXPECT_TRUE(list.fAllows("http://anything.test/"));
  std::string bad;
  EXPECT_TRUE(list.fLoad(" ; ", bad));
  EXPECT_FALSE(list.fIsActive());
}

TEST(AllowFilter, RefusalWritesItsLineAndCounts) {
  CLogCapture logs;
  CStatusCounters counters;
  CAllowList list;
  std::string bad;
  ASSERT_TRUE(list.fLoad("http://allowed.test/*", bad));
  CAllowFilter filter(list, logs.m_accessLog, counters);
  EXPECT_TRUE(filter.fAllow("http://allowed.test/a", ALLOWREQ_NAVIGATE));
  EXPECT_FALSE(filter.fAllow("http://evil.test/%s?a=1", ALLOWREQ_NAVIGATE));
  EXPECT_FALSE(filter.fAllow("http://evil.test/pop", ALLOWREQ_NEW_WINDOW));
  EXPECT_EQ(logs.strAccessLog(),
            "許可リスト外 URI[http://evil.test/%s?a=1]->無視\n"
            "許可リスト外 新規ウィンドウ URI[http://evil.test/pop]->無視\n");
  EXPECT_EQ(counters.uNavigations(NAVOUT_REFUSED), 2u);
  EXPECT_EQ(counters.uNavigations(NAVOUT_COMPLETE), 0u);
}

}  // namespace
