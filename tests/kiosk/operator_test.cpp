// The operator's optional features on the real Tarvenix: idle reset, address allow-list, status
// file and screenshots, with real clicks and a local HTTP server that records every request.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "tests/support/kiosk_folder.h"
#include "tests/support/spawn.h"
#include "tests/support/wait.h"

namespace fs = std::filesystem;

namespace {

using txtest::fWaitUntil;

std::string strShell(const std::string& cmd, int* piStatus = nullptr) {
  std::string out, err;
  int status = -1;
  if (!txtest::fRun({"/bin/sh", "-c", cmd}, out, err, status, 20000)) status = -1;
  if (piStatus) *piStatus = status;
  return out + err;
}

int iCount(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

// A small HTTP/1.1 server on one loopback address: pages by path, redirects, and the record of
// every request with its Cookie header. Each connection is answered once and closed.
class CHttpServer {
 public:
  struct CRequest {
    std::string strPath;
    std::string strCookie;
  };

  ~CHttpServer() { vStop(); }

  bool fStart(const char* pszAddress) {
    m_iSocket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_iSocket < 0) return false;
    int one = 1;
    setsockopt(m_iSocket, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    inet_pton(AF_INET, pszAddress, &addr.sin_addr);
    if (bind(m_iSocket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(m_iSocket, 64) != 0)
      return false;
    socklen_t len = sizeof addr;
    getsockname(m_iSocket, reinterpret_cast<sockaddr*>(&addr), &len);
    m_strBase = std::string("http://") + pszAddress + ":" + std::to_string(ntohs(addr.sin_port));
    m_thread = std::thread([this] { vServe(); });
    return true;
  }

  void vStop() {
    m_bStop = true;
    if (m_thread.joinable()) m_thread.join();
    for (std::thread& t : m_connections) t.join();
    m_connections.clear();
    if (m_iSocket >= 0) close(m_iSocket);
    m_iSocket = -1;
  }

  void vPage(const std::string& strPath, const std::string& strBody) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pages[strPath] = strBody;
  }
  void vRedirect(const std::string& strPath, const std::string& strTarget) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_redirects[strPath] = strTarget;
  }
  std::vector<CRequest> requests() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
  }
  int iRequests(const std::string& strPrefix) {
    int n = 0;
    for (const CRequest& r : requests()) n += r.strPath.rfind(strPrefix, 0) == 0 ? 1 : 0;
    return n;
  }
  std::string strLog() {
    std::string out;
    for (const CRequest& r : requests()) out += r.strPath + " cookie=[" + r.strCookie + "]\n";
    return out;
  }
  const std::string& strBase() const { return m_strBase; }

 private:
  void vServe() {
    while (!m_bStop) {
      pollfd p = {m_iSocket, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      int iClient = accept4(m_iSocket, nullptr, nullptr, SOCK_CLOEXEC);
      if (iClient < 0) continue;
      m_connections.emplace_back([this, iClient] { vAnswer(iClient); });
    }
  }

  void vAnswer(int iClient) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
      pollfd p = {iClient, POLLIN, 0};
      if (poll(&p, 1, 5000) <= 0) break;
      ssize_t n = read(iClient, buffer, sizeof buffer);
      if (n <= 0) break;
      request.append(buffer, static_cast<size_t>(n));
    }
    std::istringstream in(request);
    std::string method, path, line, cookie;
    in >> method >> path;
    std::getline(in, line);
    while (std::getline(in, line) && line != "\r") {
      if (line.rfind("Cookie:", 0) == 0 || line.rfind("cookie:", 0) == 0) {
        cookie = line.substr(7);
        cookie.erase(0, cookie.find_first_not_of(' '));
        if (!cookie.empty() && cookie.back() == '\r') cookie.pop_back();
      }
    }
    std::string response;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (!path.empty()) m_requests.push_back({path, cookie});
      std::string bare = path.substr(0, path.find('?'));
      if (m_redirects.count(bare)) {
        response = "HTTP/1.1 302 Found\r\nLocation: " + m_redirects[bare] + "\r\nContent-Length: 0\r\n";
      } else if (m_pages.count(bare)) {
        const std::string& body = m_pages[bare];
        response =
            "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\n"
            "Content-Length: " +
            std::to_string(body.size()) + "\r\n";
        response += "Connection: close\r\n\r\n" + body;
      } else {
        response = "HTTP/1.1 204 No Content\r\nContent-Length: 0\r\n";
      }
      if (response.find("\r\n\r\n") == std::string::npos) response += "Connection: close\r\n\r\n";
    }
    for (size_t sent = 0; sent < response.size();) {
      ssize_t n = write(iClient, response.data() + sent, response.size() - sent);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    close(iClient);
  }

  int m_iSocket = -1;
  std::string m_strBase;
  std::atomic<bool> m_bStop{false};
  std::thread m_thread;
  std::vector<std::thread> m_connections;
  std::mutex m_mutex;
  std::map<std::string, std::string> m_pages, m_redirects;
  std::vector<CRequest> m_requests;
};

// A page filling the view with one colour and up to three areas to click, each a link or a script.
std::string strPage(const std::string& strColour, const std::vector<std::string>& areas,
                    const std::string& strBody = "") {
  static const char* const kLefts[] = {"0", "400px", "800px"};
  std::string html = "<!DOCTYPE html><html><body style=\"margin:0;background:" + strColour + ";height:100vh\">";
  for (size_t i = 0; i < areas.size() && i < 3; ++i) {
    html += "<a id=\"a" + std::to_string(i) + "\" " + areas[i] + " style=\"position:absolute;top:0;left:" + kLefts[i] +
            ";width:300px;height:200px;background:#0000ff\">area</a>";
  }
  return html + strBody + "</body></html>";
}

// The kiosk installed in a folder of its own, on the display of the test run.
class OperatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_folder.fInstall("txoperator")) << m_folder.m_strError;
    ASSERT_EQ(strShell("pgrep -x Tarvenix"), "") << "a kiosk is running outside the test";
    ASSERT_TRUE(m_site.fStart("127.0.0.1"));
    ASSERT_TRUE(m_outside.fStart("127.0.0.2"));
  }

  void TearDown() override {
    if (m_kiosk.iHandle != 0) {
      kill(static_cast<pid_t>(m_kiosk.iHandle), SIGTERM);
      int status = 0;
      if (!txtest::fWait(m_kiosk, 10000, status)) txtest::vKill(m_kiosk);
    }
    m_site.vStop();
    m_outside.vStop();
    if (HasFailure()) {
      std::cerr << "access.log:\n" << strAccessLog() << "requests:\n" << m_site.strLog() << m_outside.strLog();
    }
  }

  // Starts the kiosk on the start page with the settings and waits for its first completed document.
  void vStart(const std::string& strStart, const std::string& strSettings) {
    ASSERT_TRUE(m_folder.fWrite("Tarvenix.ini", "[Setting]\nAccessLog=1\nBlank=" + strStart + "\n" + strSettings));
    ASSERT_TRUE(m_folder.fStart({}, "", m_kiosk));
    ASSERT_TRUE(fWaitUntil(
        [&] { return strAccessLog().find("ドキュメント完了 URI[" + strStart + "]") != std::string::npos; }, 30000))
        << m_folder.strRead("output.txt");
    // The start timer's full screen and the engine's first paint.
    platform::vSleepMs(1200);
  }

  void vClick(int iX, int iY, int iButton = 1) {
    strShell("xdotool mousemove " + std::to_string(iX) + " " + std::to_string(iY) + " click " +
             std::to_string(iButton));
  }

  std::string strAccessLog() { return m_folder.strAccessLog(); }
  std::string strMonthLog() { return m_folder.strMonthLog(); }

  txtest::CKioskFolder m_folder;
  txtest::Child m_kiosk;
  CHttpServer m_site, m_outside;
};

// Ends a polling thread when the test leaves its scope, however it leaves.
struct CJoin {
  std::atomic<bool>& bDone;
  std::thread& thread;
  ~CJoin() {
    bDone = true;
    if (thread.joinable()) thread.join();
  }
};

// Completed documents of the page itself: lines "ドキュメント完了 URI[...] 今回のid=[<main>] ...",
// the main frame's id being the one of the first line (the start page's BeforeNavigate2).
int iMainDocuments(const std::string& strLog) {
  const std::string idMark = "今回のid=[";
  size_t at = strLog.find(idMark);
  if (at == std::string::npos) return -1;
  std::string mainId = strLog.substr(at + idMark.size(), 16);
  int n = 0;
  std::istringstream in(strLog);
  for (std::string line; std::getline(in, line);)
    n += (line.find(",ドキュメント完了 URI[") != std::string::npos &&
          line.find(idMark + mainId + "]") != std::string::npos);
  return n;
}

// The value of a series in the status file's text (-1 when it is not there).
double dSeries(const std::string& strText, const std::string& strSeries) {
  size_t at = strText.find("\n" + strSeries + " ");
  if (at == std::string::npos) return -1;
  return std::atof(strText.c_str() + at + strSeries.size() + 2);
}

TEST_F(OperatorTest, IdleResetReturnsToTheStartPageAndDropsTheSession) {
  const std::string start = m_site.strBase() + "/start.html";
  m_site.vPage("/start.html", strPage("#00ff00", {"href=\"/second.html\""},
                                      "<script>fetch('/report?page=start&cookie='+encodeURIComponent(document.cookie)+"
                                      "'&storage='+(localStorage.getItem('k')||''));</script>"));
  m_site.vPage("/second.html", strPage("#ff0000", {},
                                       "<script>document.cookie='visitor=42; path=/; max-age=3600';"
                                       "localStorage.setItem('k','v');"
                                       "fetch('/report?page=second&cookie='+encodeURIComponent(document.cookie));"
                                       "</script>"));
  ASSERT_NO_FATAL_FAILURE(vStart(start, "IdleReset=3\nStatusFile=1\n"));
  // Left alone since its start, the kiosk does not reset.
  platform::vSleepMs(4000);
  EXPECT_EQ(iCount(strAccessLog(), "無操作リセット"), 0);
  EXPECT_EQ(m_site.iRequests("/start.html"), 1);

  vClick(150, 100);
  uint32_t uClicked = platform::uGetTickMs();
  ASSERT_TRUE(fWaitUntil([&] { return m_site.iRequests("/report?page=second&cookie=visitor%3D42") == 1; }, 10000));
  ASSERT_TRUE(fWaitUntil([&] { return m_site.iRequests("/start.html") == 2; }, 10000));
  uint32_t uReset = platform::uGetTickMs() - uClicked;
  EXPECT_GE(uReset, 2900u);
  EXPECT_LE(uReset, 6000u);
  std::string log = strAccessLog();
  EXPECT_EQ(iCount(log, "無操作リセット 3秒->開始ページへ\n"), 1) << log;
  EXPECT_NE(log.find("無操作リセット 3秒->開始ページへ\n",
                     log.find("ドキュメント完了 URI[" + m_site.strBase() + "/second.html]")),
            std::string::npos);
  // The start page after the reset sees no cookie and no storage, and the server got none.
  ASSERT_TRUE(fWaitUntil([&] { return m_site.iRequests("/report?page=start") == 2; }, 10000));
  std::vector<CHttpServer::CRequest> requests = m_site.requests();
  const CHttpServer::CRequest* last = nullptr;
  for (const auto& r : requests)
    if (r.strPath.rfind("/report?page=start", 0) == 0) last = &r;
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->strPath, "/report?page=start&cookie=&storage=");
  EXPECT_EQ(last->strCookie, "");
  for (const auto& r : requests) {
    if (r.strPath == "/start.html") {
      EXPECT_EQ(r.strCookie, "");
    }
  }

  // With no input since, no reset repeats.
  platform::vSleepMs(7000);
  EXPECT_EQ(iCount(strAccessLog(), "無操作リセット"), 1);
  EXPECT_EQ(m_site.iRequests("/start.html"), 2);
  EXPECT_EQ(dSeries(m_folder.strRead("Tarvenix.prom"), "tarvenix_idle_resets_total"), 1);
}

TEST_F(OperatorTest, AllowListRefusesOutsideAddressesBeforeTheyAreFetched) {
  const std::string out = m_outside.strBase();
  const std::string start = m_site.strBase() + "/allow.html";
  m_site.vPage(
      "/allow.html",
      strPage("#00ff00",
              {"href=\"" + out + "/link.html\"", "href=\"/redir\"",
               "href=\"#\" onclick=\"window.open('" + out + "/pop.html');window.open('/pop.html');return false;\""},
              "<iframe src=\"/frame.html\" style=\"position:absolute;top:300px;width:200px;height:100px\">"
              "</iframe><iframe src=\"" +
                  out + "/frame.html\" style=\"position:absolute;top:300px;left:300px\"></iframe>"));
  m_site.vPage("/frame.html", "<html><body>inside</body></html>");
  m_site.vPage("/pop.html", "<html><body>pop</body></html>");
  m_site.vRedirect("/redir", out + "/redirected.html");
  m_outside.vPage("/link.html", "<html><body>outside</body></html>");

  std::atomic<bool> done{false};
  std::atomic<int> reads{0};
  std::vector<std::string> broken;
  std::string prom = m_folder.strPath("Tarvenix.prom");
  // A reader polling the status file in a loop sees whole files only.
  std::thread reader([&] {
    while (!done) {
      std::string text = txtest::strReadFile(prom);
      if (text.empty()) continue;
      ++reads;
      bool whole = text.rfind("# HELP tarvenix_start_time_seconds ", 0) == 0 && text.size() > 4 &&
                   text.compare(text.size() - 4, 4, "} 1\n") == 0;
      if (!whole && broken.size() < 3) broken.push_back(text);
    }
  });
  CJoin join{done, reader};
  ASSERT_NO_FATAL_FAILURE(vStart(start, "NewWindow=0\nStatusFile=1\nAllowUrl=" + m_site.strBase() + "/*\n"));
  ASSERT_TRUE(fWaitUntil([&] { return m_site.iRequests("/frame.html") == 1; }, 10000));
  vClick(150, 100);     // a link outside the list
  vClick(550, 100);     // a link to an address the server redirects outside
  vClick(640, 500, 3);  // a right click, refused as ever
  vClick(950, 100);     // two pop-ups: one outside, one inside
  ASSERT_TRUE(fWaitUntil([&] { return m_site.iRequests("/pop.html") == 1; }, 10000));
  ASSERT_TRUE(fWaitUntil([&] { return iCount(strAccessLog(), "->無視\n") >= 5; }, 10000));
  platform::vSleepMs(1500);
  done = true;
  reader.join();

  // The server outside the list saw none of them; the allowed ones loaded.
  EXPECT_EQ(m_outside.requests().size(), 0u) << m_outside.strLog();
  EXPECT_EQ(m_site.iRequests("/redir"), 1);
  std::string log = strAccessLog();
  EXPECT_EQ(iCount(log, "許可リスト外 URI[" + out + "/frame.html]->無視\n"), 1) << log;
  EXPECT_EQ(iCount(log, "許可リスト外 URI[" + out + "/link.html]->無視\n"), 1) << log;
  EXPECT_EQ(iCount(log, "許可リスト外 URI[" + out + "/redirected.html]->無視\n"), 1) << log;
  EXPECT_EQ(iCount(log, "許可リスト外 新規ウィンドウ URI[" + out + "/pop.html]->無視\n"), 1) << log;
  EXPECT_EQ(iCount(log, "ユーザーによる右クリック->無視\n"), 1) << log;

  // The status file parses, and its counters match the access log.
  EXPECT_GT(reads, 20);
  EXPECT_TRUE(broken.empty()) << broken.front();
  std::string text = txtest::strReadFile(prom);
  int status = -1;
  std::string check = strShell("promtool check metrics < " + prom, &status);
  EXPECT_EQ(status, 0) << check << text;
  EXPECT_EQ(iMainDocuments(log), 1);  // only the start page's document completed
  EXPECT_EQ(dSeries(text, "tarvenix_navigations_total{outcome=\"complete\"}"), iMainDocuments(log)) << text;
  EXPECT_EQ(dSeries(text, "tarvenix_navigations_total{outcome=\"refused\"}"), iCount(log, "許可リスト外 ")) << text;
  EXPECT_EQ(dSeries(text, "tarvenix_navigations_total{outcome=\"error\"}"), 0) << text;
  EXPECT_EQ(dSeries(text, "tarvenix_refused_inputs_total{kind=\"right_click\"}"), iCount(log, "右クリック->無視"));
  EXPECT_EQ(dSeries(text, "tarvenix_refused_inputs_total{kind=\"new_window\"}"), 0);
  EXPECT_NE(text.find("tarvenix_page_info{url=\"" + start + "\"} 1\n"), std::string::npos) << text;
  EXPECT_GT(dSeries(text, "tarvenix_resident_memory_bytes"), 50e6);
}

TEST_F(OperatorTest, ScreenshotShowsThePageAndIsReplacedWhole) {
  const std::string start = m_site.strBase() + "/shot.html";
  m_site.vPage("/shot.html", strPage("#00ff00", {"href=\"#\""}));
  std::string png = m_folder.strPath("screenshot.png");
  std::atomic<bool> done{false};
  std::atomic<int> reads{0}, partial{0};
  std::mutex mutex;
  std::set<ino_t> inodes;
  std::thread reader([&] {
    static const std::string kEnd("\0\0\0\0IEND\xAE\x42\x60\x82", 12);
    while (!done) {
      struct stat st {};
      std::string bytes = txtest::strReadFile(png);
      if (bytes.empty()) continue;
      ++reads;
      if (bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.size() < 20 ||
          bytes.compare(bytes.size() - 12, 12, kEnd) != 0)
        ++partial;
      if (stat(png.c_str(), &st) == 0) {
        std::lock_guard<std::mutex> lock(mutex);
        inodes.insert(st.st_ino);
      }
    }
  });
  CJoin join{done, reader};
  ASSERT_NO_FATAL_FAILURE(vStart(start, "ScreenshotInterval=2\n"));
  bool replaced = fWaitUntil(
      [&] {
        std::lock_guard<std::mutex> lock(mutex);
        return inodes.size() >= 3;
      },
      15000);
  done = true;
  reader.join();
  EXPECT_TRUE(replaced);
  EXPECT_GT(reads, 5);
  EXPECT_EQ(partial, 0);
  // The page's colours: its background, and its blue area at the top left.
  std::string background = strShell("convert " + png + " -crop 1x1+640+500 -depth 8 txt:- 2>&1");
  std::string area = strShell("convert " + png + " -crop 1x1+100+100 -depth 8 txt:- 2>&1");
  EXPECT_NE(background.find("#00FF00"), std::string::npos) << background;
  EXPECT_NE(area.find("#0000FF"), std::string::npos) << area;
  std::string size = strShell("identify -format '%w %h' " + png);
  EXPECT_EQ(size, "1280 800");
  EXPECT_EQ(strMonthLog().find("スクリーンショット保存に失敗"), std::string::npos);
}

TEST_F(OperatorTest, BadValuesLeaveTheFeaturesOff) {
  const std::string start = m_site.strBase() + "/start.html";
  m_site.vPage("/start.html", strPage("#00ff00", {"href=\"http://127.0.0.2/x\""}));
  ASSERT_NO_FATAL_FAILURE(vStart(start, "AllowUrl=example.com/*\nIdleReset=abc\nScreenshotInterval=-2\nStatusFile=\n"));
  std::string month = strMonthLog();
  for (const char* pszLine :
       {"設定ファイル AllowUrl不正[example.com/*] 無効\n", "設定ファイル IdleReset不正[abc] 無効\n",
        "設定ファイル ScreenshotInterval不正[-2] 無効\n", "設定ファイル StatusFile不正[] 無効\n"})
    EXPECT_EQ(iCount(month, pszLine), 1) << pszLine << month;
  EXPECT_FALSE(fs::exists(m_folder.strPath("Tarvenix.prom")));
  platform::vSleepMs(3000);
  EXPECT_FALSE(fs::exists(m_folder.strPath("screenshot.png")));
  // Without a list every address may be shown: the click leaves for the other host.
  vClick(150, 100);
  EXPECT_TRUE(fWaitUntil([&] { return strAccessLog().find("URI[http://127.0.0.2/x]") != std::string::npos; }, 10000));
  EXPECT_EQ(strAccessLog().find("許可リスト外"), std::string::npos);
}

}  // namespace
