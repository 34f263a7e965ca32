// The real Tarvenix on the display as a person meets it: its window, its logs, tarvctl, keys and clicks.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "tests/support/http_server.h"
#include "tests/support/isolate.h"
#include "tests/support/kiosk_folder.h"
#include "tests/support/spawn.h"
#include "tests/support/wait.h"

namespace fs = std::filesystem;

namespace {

const char kHeaderColour[] = "#1D4E6B";  // the demo page's header, at the very top of the page

using txtest::fWaitUntil;

// Runs a shell command to its end; what it printed, or "" with iStatus -1 when it could not run.
std::string strShell(const std::string& cmd, int* piStatus = nullptr) {
  std::string out, err;
  int status = -1;
  if (!txtest::fRun({"/bin/sh", "-c", cmd}, out, err, status, 20000)) status = -1;
  if (piStatus) *piStatus = status;
  return out;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

std::string strFileUrl(const fs::path& path) { return "file://" + path.string(); }

void vWrite(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

struct Geometry {
  int x = -1, y = -1, width = 0, height = 0;
};

// The kiosk installed in a folder of its own and started from there.
class KioskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_folder.fInstall("txkiosk")) << m_folder.m_strError;
    m_dir = m_folder.strDir();
    fs::copy(fs::path(TX_SOURCE_DIR) / "examples" / "demo", m_dir / "demo", fs::copy_options::recursive);
    // Also for the kiosks that tarvctl -r starts through the run script.
    setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
    ASSERT_EQ(strShell("pgrep -x Tarvenix"), "") << "a kiosk is running outside the test";
  }

  void TearDown() override { vStop(); }

  void vIni(const std::string& text) { vWrite(m_dir / "Tarvenix.ini", "[Setting]\n" + text); }

  void vStart(const std::vector<std::string>& args = {}) {
    ASSERT_TRUE(m_folder.fStart(args, "", m_kiosk));
    ASSERT_TRUE(fWaitUntil([&] { return !strMainWindow().empty(); }, 30000))
        << "no main window; running " << fRunning() << " status " << m_iStatus << "\n"
        << m_folder.strRead("output.txt") << strMonthLog()
        << strShell("xdotool search --pid " + std::to_string(m_kiosk.iHandle) + " '' 2>&1");
  }

  // Ends the kiosk as a session end would (no question), or at once when it does not go.
  void vStop() {
    if (m_kiosk.iHandle == 0) return;
    kill(static_cast<pid_t>(m_kiosk.iHandle), SIGTERM);
    int status = 0;
    if (!txtest::fWait(m_kiosk, 10000, status)) txtest::vKill(m_kiosk);
  }

  bool fRunning() { return m_kiosk.iHandle != 0 && !txtest::fWait(m_kiosk, 0, m_iStatus); }

  // Waits for the kiosk to end; its exit status, or -1 when it still runs.
  int iWaitForEnd(uint32_t uMillis) {
    int status = -1;
    return txtest::fWait(m_kiosk, uMillis, status) ? status : -1;
  }

  std::vector<std::string> windows(const std::string& how) {
    return lines(
        strShell("xdotool search --onlyvisible --pid " + std::to_string(m_kiosk.iHandle) + " " + how + " 2>/dev/null"));
  }
  std::string strMainWindow() {
    std::vector<std::string> found = windows("--class TarvenixClass");
    return found.empty() ? "" : found.front();
  }
  // The kiosk's visible windows titled "Tarvenix" other than its main window: its message boxes.
  std::vector<std::string> boxes() {
    std::string main = strMainWindow();
    std::vector<std::string> out;
    for (const std::string& w : windows("--name '^Tarvenix$'")) {
      if (w != main) out.push_back(w);
    }
    return out;
  }

  Geometry geometry(const std::string& window) {
    Geometry g;
    for (const std::string& line : lines(strShell("xdotool getwindowgeometry --shell " + window))) {
      std::string::size_type eq = line.find('=');
      if (eq == std::string::npos) continue;
      int value = std::atoi(line.c_str() + eq + 1);
      std::string key = line.substr(0, eq);
      if (key == "X") g.x = value;
      if (key == "Y") g.y = value;
      if (key == "WIDTH") g.width = value;
      if (key == "HEIGHT") g.height = value;
    }
    return g;
  }

  // The first row, counted from the window's top, whose pixel 20 points from the window's left
  // edge has the colour; -1 when none of the first 80 rows has it.
  int iFirstRowOf(const std::string& window, const char* pszColour) {
    Geometry g = geometry(window);
    std::string text = strShell("import -window root -crop 1x80+" + std::to_string(g.x + 20) + "+" +
                                std::to_string(g.y) + " -depth 8 txt:- 2>/dev/null");
    for (const std::string& line : lines(text)) {
      if (line.find(pszColour) == std::string::npos) continue;
      std::string::size_type comma = line.find(','), colon = line.find(':');
      if (comma != std::string::npos && colon != std::string::npos)
        return std::atoi(line.substr(comma + 1, colon - comma - 1).c_str());
    }
    return -1;
  }

  std::string strTarvctl(const std::string& flag, int& iStatus) {
    std::string out, err;
    iStatus = -1;
    EXPECT_TRUE(txtest::fRun({(m_dir / "tarvctl").string(), flag}, out, err, iStatus, 40000));
    return out;
  }

  std::string strAccessLog() { return m_folder.strAccessLog(); }
  std::string strMonthLog() { return m_folder.strMonthLog(); }

  txtest::CKioskFolder m_folder;
  fs::path m_dir;
  txtest::Child m_kiosk;
  int m_iStatus = 0;
};

// Offsets of the parts in the text, in the order given; -1 for a part missing after the previous.
std::vector<long> inOrder(const std::string& text, const std::vector<std::string>& parts) {
  std::vector<long> at;
  std::string::size_type from = 0;
  for (const std::string& p : parts) {
    std::string::size_type found = text.find(p, from);
    at.push_back(found == std::string::npos ? -1 : static_cast<long>(found));
    if (found != std::string::npos) from = found + p.size();
  }
  return at;
}

bool fAllFound(const std::vector<long>& at) {
  for (long a : at) {
    if (a < 0) return false;
  }
  return true;
}

TEST_F(KioskTest, FullScreenCoversTheScreenWithoutMenuAndFullScreenZeroKeepsTheMenu) {
  struct Case {
    bool bIni;  // false: start without a settings file
    std::string strSettings;
  } cases[] = {{false, ""}, {true, "FullScreen=0\n"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bIni ? c.strSettings : "no settings file");
    fs::remove(m_dir / "Tarvenix.ini");
    if (c.bIni) vIni(c.strSettings);
    vStart({"-URL", strFileUrl(m_dir / "demo" / "index.html")});
    std::string main = strMainWindow();
    int row = -1;
    ASSERT_TRUE(fWaitUntil([&] { return (row = iFirstRowOf(main, kHeaderColour)) >= 0; }, 30000))
        << "the demo page never showed";
    Geometry g = geometry(main);
    if (!c.bIni) {
      // The 200 ms timer goes full screen: the whole 1280x800 screen, the page from the top row.
      ASSERT_TRUE(fWaitUntil(
          [&] {
            g = geometry(main);
            return g.x == 0 && g.y == 0 && g.width == 1280 && g.height == 800;
          },
          5000))
          << g.x << "," << g.y << " " << g.width << "x" << g.height;
      EXPECT_EQ(iFirstRowOf(main, kHeaderColour), 0) << "something sits above the page";
      EXPECT_TRUE(fs::exists(m_dir / "Tarvenix.ini"));
    } else {
      // The menu bar stays above the page.
      EXPECT_GT(row, 10);
      EXPECT_LT(row, 60);
      // Neither F10 nor Alt opens the menu: no further window comes up, and the kiosk stays.
      std::vector<std::string> before = windows("");
      strShell("xdotool windowfocus --sync " + main + " key F10");
      strShell("xdotool windowfocus --sync " + main + " key alt");
      // Nothing is to happen: GTK would map the menu in the loop turn that handles the key, and
      // 700 ms are many turns of the idle kiosk.
      platform::vSleepMs(700);
      EXPECT_EQ(windows("").size(), before.size());
      ASSERT_TRUE(fRunning());
      // A click on "ファイル" opens it (its menu is a window of its own) and a click on its exit
      // entry closes the program without a question. The menu stays above the window while the
      // top-most timer raises the window (no window manager here).
      strShell("xdotool mousemove " + std::to_string(g.x + 20) + " " + std::to_string(g.y + row / 2) + " click 1");
      std::string menu;
      EXPECT_TRUE(fWaitUntil(
          [&] {
            for (const std::string& w : windows(""))
              if (std::find(before.begin(), before.end(), w) == before.end()) menu = w;
            return !menu.empty();
          },
          3000))
          << "the menu did not open";
      // More than one period of the top-most keeper (800 ms) with the menu open: the keeper has
      // raised the window at least once when the entry is clicked.
      platform::vSleepMs(1000);
      Geometry item = geometry(menu);
      std::string at = std::to_string(item.x + 40) + " " + std::to_string(item.y + item.height / 2);
      strShell("xdotool mousemove " + at + " sleep 0.3 click 1");
      EXPECT_EQ(iWaitForEnd(5000), 0);
    }
    vStop();
  }
}

TEST_F(KioskTest, UrlLoadsAfterTheStartPageAndAnEmptyBlankStartsOnAboutBlank) {
  vWrite(m_dir / "a.html", "<!DOCTYPE html><title>a</title><p>start page</p>");
  vWrite(m_dir / "b.html", "<!DOCTYPE html><title>b</title><p>address</p>");
  const std::string a = strFileUrl(m_dir / "a.html"), b = strFileUrl(m_dir / "b.html");
  struct Case {
    std::string strBlank;
    std::vector<std::string> args;
    std::vector<std::string> order;  // in the access log
  } cases[] = {
      {a,
       {"-URL", b},
       {"ナビゲート開始前 URI[" + a + "]", "ナビゲート開始前 URI[" + b + "]", "ドキュメント完了 URI[" + b + "]"}},
      {"\"\"", {}, {"ナビゲート開始前 URI[about:blank]", "ドキュメント完了 URI[about:blank]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.strBlank);
    fs::remove(m_dir / "access.log");
    vIni("AccessLog=1\nBlank=" + c.strBlank + "\n");
    vStart(c.args);
    const std::string last = c.order.back();
    std::string log;
    EXPECT_TRUE(fWaitUntil([&] { return (log = strAccessLog()).find(last) != std::string::npos; }, 20000)) << log;
    EXPECT_TRUE(fAllFound(inOrder(log, c.order))) << log;
    // Each address the program starts is followed as its own navigation of the main frame.
    for (const std::string& part : c.order) {
      std::string::size_type at = log.find(part);
      if (at == std::string::npos) continue;
      std::string line = log.substr(at, log.find('\n', at) - at);
      EXPECT_NE(line.find("(開始フレームと一致)"), std::string::npos) << line;
    }
    vStop();
  }
}

// Milliseconds of the day of a log line's time stamp ("YYYY/MM/DD hh:mm:ss.f", f the
// milliseconds without leading 0 digits) found right before the text; -1 when there is none.
long lStampBefore(const std::string& log, const std::string& text) {
  std::string::size_type at = log.find(text);
  if (at == std::string::npos) return -1;
  std::string::size_type line = log.rfind('\n', at);
  line = line == std::string::npos ? 0 : line + 1;
  std::string::size_type date = log.find('/', line);
  if (date == std::string::npos || date < 4 || date > at) return -1;
  int h = 0, m = 0, sec = 0, ms = 0;
  if (std::sscanf(log.c_str() + date - 4, "%*d/%*d/%*d %d:%d:%d.%d", &h, &m, &sec, &ms) != 4) return -1;
  return ((h * 60L + m) * 60L + sec) * 1000L + ms;
}

// The view installs the hook libraries when it is created, so the start page is watched from
// its first request on: every hook is in place before the frame asks for the page.
TEST_F(KioskTest, HooksAreInPlaceBeforeTheStartPageIsAskedFor) {
  vIni("Debug=1\nBlank=" + strFileUrl(m_dir / "demo" / "index.html") + "\n");
  vStart();
  std::string hooks, log;
  ASSERT_TRUE(fWaitUntil(
      [&] {
        hooks = txtest::strReadFile((m_dir / "TXHook.log").string());
        log = strMonthLog();
        return hooks.find("fTXKeyHook: installed") != std::string::npos &&
               log.find("engineからナビゲート開始") != std::string::npos;
      },
      20000))
      << hooks << log;
  long lNavigate = lStampBefore(log, "engineからナビゲート開始");
  ASSERT_GE(lNavigate, 0) << log;
  for (const char* pszHook : {"fTXMouseHook: installed", "fTarvenixDetectMouseHook(", "fTXKeyHook: installed"}) {
    long lHook = lStampBefore(hooks, pszHook);
    ASSERT_GE(lHook, 0) << pszHook << "\n" << hooks;
    EXPECT_LE(lHook, lNavigate) << pszHook << "\n" << hooks << log;
  }
}

TEST_F(KioskTest, DemoPageLogsItsFramesAndAnUnreachableAddressIsCancelled) {
  const std::string page = strFileUrl(m_dir / "demo" / "index.html");
  const std::string frame = strFileUrl(m_dir / "demo" / "frame.html");
  vIni("AccessLog=1\nBlank=" + page + "\nDebug=1\n");
  vStart();
  std::string access;
  const std::string done = "ドキュメント完了 URI[" + page + "]";
  ASSERT_TRUE(fWaitUntil([&] { return (access = strAccessLog()).find(done) != std::string::npos; }, 20000)) << access;
  std::string::size_type at = access.find(done);
  EXPECT_NE(access.substr(at, access.find('\n', at) - at).find("(開始フレームと一致)"), std::string::npos) << access;
  // The iframe raises its own events, as a frame other than the page's.
  bool frameSeen = false;
  for (const std::string& line : lines(access)) {
    if (line.find(frame) == std::string::npos) continue;
    frameSeen = true;
    EXPECT_NE(line.find("(その他一致しないフレーム)"), std::string::npos) << line;
  }
  EXPECT_TRUE(frameSeen) << access;
  std::string month = strMonthLog();
  EXPECT_TRUE(fAllFound(inOrder(
      month, {"engineからナビゲート開始[" + page + "]", "最初のナビゲート 開始id[",
              "ナビゲート開始前 URI[" + page + "]", "開始フレームと一致するページがナビゲート開始前->ナビゲート完了へ",
              "ナビゲート完了 URI[" + page + "]", "開始フレームと一致するページがナビゲート完了->ドキュメント完了へ",
              done, "開始フレームと一致するページがドキュメント完了", "開始id clear"})))
      << month;
  txtest::vKill(m_kiosk);

  // An address that cannot be reached: the error is logged, the start id cleared, and the kiosk
  // stays on its window without the engine's error page (no page of its own is completed).
  const std::string unreachable = "http://127.0.0.1:2/unreachable";
  fs::remove(m_dir / "access.log");
  vStart({"-URL", unreachable});
  const std::string error = "ナビゲートエラー URI[" + unreachable + "]";
  ASSERT_TRUE(fWaitUntil([&] { return (access = strAccessLog()).find(error) != std::string::npos; }, 20000)) << access;
  at = access.find(error);
  EXPECT_NE(access.substr(at, access.find('\n', at) - at).find("(開始フレームと一致)"), std::string::npos) << access;
  month = strMonthLog();
  std::string::size_type monthAt = month.rfind(error);
  ASSERT_NE(monthAt, std::string::npos) << month;
  EXPECT_TRUE(
      fAllFound(inOrder(month.substr(monthAt), {"開始フレームと一致するページがナビゲートエラー\n", "開始id clear\n"})))
      << month.substr(monthAt);
  // Nothing more is to come: the engine would load its error page at once after the failure
  // was decided, and 1 s is far more than that load of a local page takes.
  platform::vSleepMs(1000);
  EXPECT_TRUE(fRunning());
  EXPECT_FALSE(strMainWindow().empty());
  access = strAccessLog();
  EXPECT_EQ(access.find("ドキュメント完了 URI[" + unreachable), std::string::npos) << access;
}

// A start page the server answers with an HTTP error (with a page of its own, or asking for
// credentials) is a failed navigation: NavigateError of the start frame, the start id cleared,
// no document completed, and the kiosk stays on its window.
TEST_F(KioskTest, HttpErrorOfTheStartPageIsANavigateError) {
  txtest::CHttpServer server(
      {{"/missing", {404, "", "<title>missing</title>the server's own page"}},
       {"/private", {401, "WWW-Authenticate: Basic realm=\"kiosk\"\r\n", "<title>private</title>"}}});
  ASSERT_TRUE(server.fOk());
  for (const char* pszPath : {"/missing", "/private"}) {
    SCOPED_TRACE(pszPath);
    const std::string url = server.strUrl(pszPath);
    fs::remove(m_dir / "access.log");
    vIni("AccessLog=1\nDebug=1\nBlank=" + url + "\n");
    vStart();
    const std::string error = "ナビゲートエラー URI[" + url + "]";
    std::string access;
    ASSERT_TRUE(fWaitUntil([&] { return (access = strAccessLog()).find(error) != std::string::npos; }, 20000))
        << access;
    std::string::size_type at = access.find(error);
    EXPECT_NE(access.substr(at, access.find('\n', at) - at).find("(開始フレームと一致)"), std::string::npos) << access;
    std::string month = strMonthLog();
    std::string::size_type monthAt = month.rfind(error);
    ASSERT_NE(monthAt, std::string::npos) << month;
    EXPECT_TRUE(fAllFound(
        inOrder(month.substr(monthAt), {"開始フレームと一致するページがナビゲートエラー\n", "開始id clear\n"})))
        << month.substr(monthAt);
    platform::vSleepMs(1000);  // a document completed after the error would be logged by now
    EXPECT_TRUE(fRunning());
    access = strAccessLog();
    EXPECT_EQ(access.find("ドキュメント完了 URI[" + url), std::string::npos) << access;
    vStop();
  }
}

// Navigations the page starts itself are logged with the address they go to: a link clicked, a
// script's location.href, a meta refresh and a download link, each once, and never the page left.
TEST_F(KioskTest, NavigationsThePageStartsLogTheAddressTheyGoTo) {
  const std::string link = "<a href='%s' style='position:fixed;left:0;top:0;width:100%;height:100%'>next</a>";
  auto page = [&](const std::string& strTitle, const std::string& strBody) {
    return txtest::CHttpReply{200, "", "<!DOCTYPE html><title>" + strTitle + "</title>" + strBody};
  };
  auto linkTo = [&](const char* pszTarget) {
    std::string body = link;
    return body.replace(body.find("%s"), 2, pszTarget);
  };
  txtest::CHttpServer server(
      {{"/link", page("link", linkTo("/script"))},
       {"/script", page("script", "<script>onload=function(){location.href='/refresh';}</script>")},
       {"/refresh", page("refresh", "<meta http-equiv='refresh' content='0;url=/download'>")},
       {"/download", page("download", linkTo("/file.bin"))},
       {"/file.bin", {200, "", "binary", "application/octet-stream"}}});
  ASSERT_TRUE(server.fOk());
  vIni("AccessLog=1\nBlank=" + server.strUrl("/link") + "\n");
  vStart();
  std::string main = strMainWindow();
  auto vClickWhenComplete = [&](const char* pszPath) {
    const std::string done = "ドキュメント完了 URI[" + server.strUrl(pszPath) + "]";
    ASSERT_TRUE(fWaitUntil([&] { return strAccessLog().find(done) != std::string::npos; }, 20000)) << strAccessLog();
    Geometry g = geometry(main);
    strShell("xdotool mousemove " + std::to_string(g.x + g.width / 2) + " " + std::to_string(g.y + g.height / 2) +
             " click 1");
  };
  ASSERT_NO_FATAL_FAILURE(vClickWhenComplete("/link"));
  ASSERT_NO_FATAL_FAILURE(vClickWhenComplete("/download"));
  const std::string last = "ナビゲート開始前 URI[" + server.strUrl("/file.bin") + "]";
  std::string access;
  EXPECT_TRUE(fWaitUntil([&] { return (access = strAccessLog()).find(last) != std::string::npos; }, 10000)) << access;
  for (const char* pszPath : {"/link", "/script", "/refresh", "/download", "/file.bin"}) {
    const std::string before = "ナビゲート開始前 URI[" + server.strUrl(pszPath) + "]";
    int iLines = 0;
    for (const std::string& line : lines(access)) iLines += line.find(before) != std::string::npos;
    EXPECT_EQ(iLines, 1) << pszPath << "\n" << access;
  }
}

// Addresses as the Windows engine takes them: a Blank of an absolute path opens the file, an
// address without a scheme goes over http. The program log keeps the address as written; the
// engine's events name the address it went to.
TEST_F(KioskTest, AbsolutePathAndAddressWithoutSchemeAreOpened) {
  txtest::CHttpServer server({{"/page", {200, "", "<title>page</title>over http"}}});
  ASSERT_TRUE(server.fOk());
  const fs::path file = m_dir / "start page.html";
  vWrite(file, "<!DOCTYPE html><title>start</title>a file");
  struct Case {
    std::string strBlank;
    std::string strEngine;
  } cases[] = {{file.string(), "file://" + (m_dir / "start%20page.html").string()},
               {server.strHostPath("/page"), server.strUrl("/page")}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.strBlank);
    fs::remove(m_dir / "access.log");
    vIni("AccessLog=1\nDebug=1\nBlank=" + c.strBlank + "\n");
    vStart();
    const std::string done = "ドキュメント完了 URI[" + c.strEngine + "]";
    std::string access;
    ASSERT_TRUE(fWaitUntil([&] { return (access = strAccessLog()).find(done) != std::string::npos; }, 20000)) << access;
    EXPECT_TRUE(fAllFound(inOrder(access, {"ナビゲート開始前 URI[" + c.strEngine + "]", done}))) << access;
    EXPECT_EQ(access.find("ナビゲートエラー"), std::string::npos) << access;
    std::string month = strMonthLog();
    EXPECT_TRUE(fAllFound(
        inOrder(month.substr(month.rfind("engineからナビゲート開始[")),
                {"engineからナビゲート開始[" + c.strBlank + "]", "ナビゲート開始前 URI[" + c.strEngine + "]"})))
        << month;
    vStop();
  }
}

TEST_F(KioskTest, TarvctlAsksNoKeepsTheKioskAndYesClosesIt) {
  vStart();
  int status = -1;
  EXPECT_NE(strTarvctl("-t", status).find("Ok"), std::string::npos);
  EXPECT_EQ(status, 0);
  std::vector<std::string> shown;
  ASSERT_TRUE(fWaitUntil([&] { return !(shown = boxes()).empty(); }, 1500)) << "no question";
  ASSERT_EQ(shown.size(), 1u);
  // The box's default is Yes; Tab goes to No.
  strShell("xdotool windowfocus --sync " + shown[0] + " key Tab Return");
  ASSERT_TRUE(fWaitUntil([&] { return boxes().empty(); }, 3000)) << "No did not answer the box";
  // The kiosk is to stay: a Yes closes the window in the loop turn of the answer, so an end would
  // show well within this second.
  platform::vSleepMs(1000);
  ASSERT_TRUE(fRunning()) << "No closed the kiosk";

  EXPECT_NE(strTarvctl("-t", status).find("Ok"), std::string::npos);
  EXPECT_EQ(status, 0);
  ASSERT_TRUE(fWaitUntil([&] { return !(shown = boxes()).empty(); }, 1500)) << "no question the second time";
  // A request while the box is open: no second box, the failure in the month log.
  EXPECT_NE(strTarvctl("-t", status).find("Ok"), std::string::npos);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(fWaitUntil(
      [&] {
        return strMonthLog().find("\"Error\"") != std::string::npos &&
               strMonthLog().find("メッセージ表示に失敗(0)\n") != std::string::npos;
      },
      3000))
      << strMonthLog();
  for (const std::string& line : lines(strMonthLog())) {
    if (line.find("メッセージ表示に失敗") == std::string::npos) continue;
    EXPECT_EQ(line.rfind("\"Error\",", 0), 0u) << line;
  }
  EXPECT_EQ(boxes(), shown);
  ASSERT_TRUE(fRunning());
  // The first box still decides: Return answers Yes.
  strShell("xdotool windowfocus --sync " + shown[0] + " key Return");
  EXPECT_EQ(iWaitForEnd(10000), 0);
}

// Where a window stands among the screen's windows, bottom first (no window manager here: the
// toplevel windows are the root's children); -1 when it is not there.
int iStackPlace(Display* pDisplay, unsigned long ulWindow) {
  Window root = 0, parent = 0, *pChildren = nullptr;
  unsigned int uCount = 0;
  int place = -1;
  if (XQueryTree(pDisplay, DefaultRootWindow(pDisplay), &root, &parent, &pChildren, &uCount) == 0) return -1;
  for (unsigned int u = 0; u < uCount; ++u)
    if (pChildren[u] == ulWindow) place = static_cast<int>(u);
  if (pChildren != nullptr) XFree(pChildren);
  return place;
}

// A request while the question is open fails, as it should, and clears the frame's flags; the
// top-most timer then raises the kiosk again (every 800 ms with TopMostLevel 0, once more with 1),
// but the open box stays above it with the focus, so a person still sees it and answers it with
// the keys, and later requests ask again: tarvctl -r ends the kiosk on Yes and starts it anew.
TEST_F(KioskTest, QuestionOpenDuringASecondRequestStaysInFrontAndAnswers) {
  Display* pDisplay = XOpenDisplay(nullptr);
  ASSERT_NE(pDisplay, nullptr);
  auto focused = [&] { return strShell("xdotool getwindowfocus"); };
  for (const char* pszLevel : {"0", "1"}) {
    SCOPED_TRACE(std::string("TopMostLevel=") + pszLevel);
    vIni(std::string("TopMostLevel=") + pszLevel + "\n");
    vStart();
    unsigned long kiosk = std::stoul(strMainWindow());
    int status = -1;
    EXPECT_EQ(strTarvctl("-t", status), "Ok\n");
    std::vector<std::string> shown;
    ASSERT_TRUE(fWaitUntil([&] { return !(shown = boxes()).empty(); }, 3000)) << "no question";
    auto iFailures = [&] {
      int i = 0;
      for (const std::string& line : lines(strMonthLog()))
        i += line.find("メッセージ表示に失敗(0)") != std::string::npos;
      return i;
    };
    const int iBefore = iFailures();
    EXPECT_EQ(strTarvctl("-t", status), "Ok\n");
    ASSERT_TRUE(fWaitUntil([&] { return iFailures() == iBefore + 1; }, 3000)) << strMonthLog();
    // Two seconds hold at least two turns of the timer, each raising the kiosk and taking the focus.
    platform::vSleepMs(2000);
    unsigned long box = std::stoul(shown[0]);
    auto fBoxShown = [&] {
      std::vector<std::string> named = windows("--name '^Tarvenix$'");
      return std::find(named.begin(), named.end(), shown[0]) != named.end();
    };
    ASSERT_TRUE(fBoxShown());
    EXPECT_GT(iStackPlace(pDisplay, box), iStackPlace(pDisplay, kiosk)) << "the kiosk buried the question";
    EXPECT_EQ(focused(), shown[0] + "\n") << "the question lost the focus";
    // Keys go where the focus is: Tab goes to No, Return answers.
    strShell("xdotool key Tab Return");
    ASSERT_TRUE(fWaitUntil([&] { return !fBoxShown(); }, 3000)) << "the keys did not answer the question";
    ASSERT_TRUE(fRunning());

    std::string out;
    std::thread restart([&] { out = strTarvctl("-r", status); });
    bool asked = fWaitUntil([&] { return !(shown = boxes()).empty() && focused() == shown[0] + "\n"; }, 5000);
    if (asked) strShell("xdotool key Return");
    restart.join();
    ASSERT_TRUE(asked) << "no question in front for tarvctl -r";
    EXPECT_EQ(out, "Ok\n");
    EXPECT_EQ(iWaitForEnd(1000), 0) << "the old kiosk still runs";
    EXPECT_TRUE(fWaitUntil(
        [&] { return !strShell("xdotool search --onlyvisible --class TarvenixClass 2>/dev/null").empty(); }, 30000))
        << "the run script started no kiosk";
    // This test's machine has it as its first process: the started kiosk is its child now.
    strShell("pkill -TERM -x Tarvenix");
    EXPECT_TRUE(fWaitUntil(
        [&] {
          while (waitpid(-1, nullptr, WNOHANG) > 0) {
          }
          return strShell("pgrep -x Tarvenix").empty();
        },
        10000));
  }
  XCloseDisplay(pDisplay);
}

// TopMostLevel 1 raises the kiosk once; a No to the quit question lets it raise itself once more.
TEST_F(KioskTest, TopMostOnceComesBackAfterNo) {
  vIni("TopMostLevel=1\n");
  vStart();
  unsigned long kiosk = std::stoul(strMainWindow());
  // The keeper's first turn comes one period (800 ms) after the window was made, and it leaves no
  // mark to wait for when no other window is there: 1500 ms are past it with room to spare.
  platform::vSleepMs(1500);
  Display* pDisplay = XOpenDisplay(nullptr);
  ASSERT_NE(pDisplay, nullptr);
  Window other = XCreateSimpleWindow(pDisplay, DefaultRootWindow(pDisplay), 0, 0, 200, 200, 0, 0, 0);
  XMapRaised(pDisplay, other);
  XSync(pDisplay, False);
  auto fKioskAbove = [&] { return iStackPlace(pDisplay, kiosk) > iStackPlace(pDisplay, other); };
  // Nothing is to happen for the keeper's next turns: 2 s are two and a half of its periods.
  platform::vSleepMs(2000);
  EXPECT_FALSE(fKioskAbove()) << "raised again although TopMostLevel is 1";

  int status = -1;
  EXPECT_EQ(strTarvctl("-t", status), "Ok\n");
  std::vector<std::string> shown;
  ASSERT_TRUE(fWaitUntil([&] { return !(shown = boxes()).empty(); }, 3000)) << "no question";
  strShell("xdotool windowfocus --sync " + shown[0] + " key Tab Return");
  ASSERT_TRUE(fWaitUntil([&] { return boxes().empty(); }, 3000)) << "No did not answer the box";
  XRaiseWindow(pDisplay, other);
  XSync(pDisplay, False);
  EXPECT_TRUE(fWaitUntil(fKioskAbove, 3000)) << "not top-most again after No";
  XRaiseWindow(pDisplay, other);  // and only once: two and a half periods without a raise
  XSync(pDisplay, False);
  platform::vSleepMs(2000);
  EXPECT_FALSE(fKioskAbove());
  ASSERT_TRUE(fRunning());
  XDestroyWindow(pDisplay, other);
  XCloseDisplay(pDisplay);
}

// tarvctl -r waits for the kiosk to go after its Yes, then starts it again through the run script.
TEST_F(KioskTest, TarvctlRestartStartsTheKioskAgainOnceTheOldOneHasGone) {
  vStart();
  int status = -1;
  std::string out;
  std::thread restart([&] { out = strTarvctl("-r", status); });
  std::vector<std::string> shown;
  bool asked = fWaitUntil([&] { return !(shown = boxes()).empty(); }, 3000);
  if (asked) strShell("xdotool windowfocus --sync " + shown[0] + " key Return");
  restart.join();
  ASSERT_TRUE(asked) << "no question";
  EXPECT_EQ(iWaitForEnd(1000), 0) << "the old kiosk still runs";
  EXPECT_EQ(out, "Ok\n");
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(fWaitUntil(
      [&] { return !strShell("xdotool search --onlyvisible --class TarvenixClass 2>/dev/null").empty(); }, 30000))
      << "the run script started no kiosk";
  std::string pid = strShell("pgrep -x Tarvenix");
  EXPECT_NE(pid, "");
  EXPECT_EQ(strShell("readlink /proc/" + pid.substr(0, pid.find('\n')) + "/exe"), (m_dir / "Tarvenix").string() + "\n");
  // This test's machine has it as its first process: the started kiosk is its child now.
  strShell("pkill -TERM -x Tarvenix");
  EXPECT_TRUE(fWaitUntil(
      [&] {
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        return strShell("pgrep -x Tarvenix").empty();
      },
      10000));
}

TEST_F(KioskTest, WindowCloseFromAScriptClosesTheProgram) {
  vWrite(m_dir / "close.html",
         "<!DOCTYPE html><title>close</title><button id=close onclick='window.close()' "
         "style='position:fixed;left:0;top:0;width:100%;height:100%'>close</button>");
  const std::string url = strFileUrl(m_dir / "close.html");
  vIni("AccessLog=1\n");
  vStart({"-URL", url});
  const std::string done = "ドキュメント完了 URI[" + url + "]";
  ASSERT_TRUE(fWaitUntil([&] { return strAccessLog().find(done) != std::string::npos; }, 20000)) << strAccessLog();
  std::string main = strMainWindow();
  Geometry g = geometry(main);
  strShell("xdotool mousemove " + std::to_string(g.x + g.width / 2) + " " + std::to_string(g.y + g.height / 2) +
           " click 1");
  EXPECT_EQ(iWaitForEnd(5000), 0);
}

}  // namespace

int main(int argc, char** argv) {
  // A machine of its own, so that tarvctl meets only this test's kiosk; the display is reached
  // through its abstract socket, and its cookie file is put back into the private /tmp.
  std::string authPath = getenv("XAUTHORITY") ? getenv("XAUTHORITY") : "";
  std::string auth = authPath.empty() ? "" : txtest::strReadFile(authPath);
  if (txtest::fIsolate() && !auth.empty()) {
    std::error_code ec;
    fs::create_directories(fs::path(authPath).parent_path(), ec);
    vWrite(authPath, auth);
  }
  // The display resets when its last client goes, and refuses connections while it does: this
  // connection stays open, so that a kiosk started just after another has ended finds it.
  Display* pKeep = nullptr;
  fWaitUntil([&] { return (pKeep = XOpenDisplay(nullptr)) != nullptr; }, 5000, 100);
  ::testing::InitGoogleTest(&argc, argv);
  int iResult = RUN_ALL_TESTS();
  if (pKeep != nullptr) XCloseDisplay(pKeep);
  return iResult;
}
