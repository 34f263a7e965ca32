// Benchmark: how long `tarvctl -t` takes against a running kiosk receiver, and `tarvctl -r`
// (signal, wait for the kiosk to go, start it again), each as a script calling it sees it.
//   tarvctl_bench [runs-of-t [runs-of-r]]    (run from the bin folder of a build tree)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "tests/support/isolate.h"
#include "tests/support/spawn.h"

namespace fs = std::filesystem;

namespace {

std::string g_strDir = "bench-tarvctl";

std::string strPath(const std::string& name) { return g_strDir + platform::cPathSeparator() + name; }

std::string strExe(const std::string& base) { return base + txtest::pszExeSuffix(); }

bool fKioskRunning() {
  uint32_t pid = 0;
  return platform::fFindProcessByName(platform::pszKioskExeName(), pid) != FALSE;
}

size_t iCount(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
}

// Runs tarvctl with one option; the wall time in ms, or -1 when it did not answer "Ok".
double dRun(const char* pszOption) {
  std::string out;
  std::string err;
  int status = 0;
  auto start = platform::uGetTickMs();
  bool ran = txtest::fRun({strPath(strExe("tarvctl")), pszOption}, out, err, status, 90000);
  double ms = static_cast<double>(platform::uGetTickMs() - start);
  return ran && status == 0 && out.compare(0, 2, "Ok") == 0 ? ms : -1;
}

bool fWaitForReady(size_t count) {
  auto start = platform::uGetTickMs();
  while (iCount(txtest::strReadFile(strPath("receiver.log")), "ready\n") < count) {
    if (platform::uGetTickMs() - start > 20000) return false;
    platform::vSleepMs(5);
  }
  return true;
}

void vReport(const char* pszWhat, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  size_t n = times.size();
  double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
  size_t p95 = (n * 95 + 99) / 100;
  std::printf("%-12s runs %3zu  median %7.1f ms  p95 %7.1f ms  min %7.1f ms  max %7.1f ms\n", pszWhat, n, median,
              times[p95 == 0 ? 0 : p95 - 1], times.front(), times.back());
}

}  // namespace

int main(int argc, char* argv[]) {
  txtest::fIsolate();
  int runsT = argc > 1 ? std::atoi(argv[1]) : 60;
  int runsR = argc > 2 ? std::atoi(argv[2]) : 20;
  if (fKioskRunning()) {
    std::fprintf(stderr, "a kiosk is running; stop it first\n");
    return 1;
  }
  std::error_code ec;
  fs::remove_all(g_strDir, ec);
  fs::create_directory(g_strDir);
  std::string standIn = strExe("tx_receiver");
  if (sizeof(void*) == 4 && fs::exists("..\\..\\win64\\bin\\tx_receiver.exe")) standIn = "..\\..\\win64\\bin\\tx_receiver.exe";
  fs::copy_file(strExe("tarvctl"), strPath(strExe("tarvctl")));
  fs::copy_file(platform::pszRunScriptName(), strPath(platform::pszRunScriptName()));
  fs::copy_file(standIn, strPath(platform::pszKioskExeName()));

  // -t against a receiver that acknowledges and stays.
  txtest::Child kiosk;
  if (!txtest::fSpawn({strPath(platform::pszKioskExeName()), "Tarvenix", strPath("receiver.log"), "stay"}, kiosk) ||
      !fWaitForReady(1)) {
    std::fprintf(stderr, "the stand-in kiosk did not start\n");
    return 1;
  }
  // A script calls at any moment of the receiver's sweep: a gap of 0 to 639 ms before each run
  // keeps the runs from falling into step with it.
  unsigned int seed = 12345;
  std::vector<double> times;
  for (int i = 0; i < runsT; i++) {
    seed = seed * 1103515245u + 12345u;
    platform::vSleepMs((seed >> 16) % 640);
    double ms = dRun("-t");
    if (ms < 0) {
      std::fprintf(stderr, "tarvctl -t failed\n");
      return 1;
    }
    times.push_back(ms);
  }
  txtest::vKill(kiosk);
  vReport("tarvctl -t", times);

  // -r against a kiosk that ends on the signal; the run script starts the next one.
  fs::remove(strPath("receiver.log"), ec);
  times.clear();
  if (dRun("-r") < 0 || !fWaitForReady(1)) {
    std::fprintf(stderr, "the first start failed\n");
    return 1;
  }
  for (int i = 0; i < runsR; i++) {
    double ms = dRun("-r");
    if (ms < 0 || !fWaitForReady(static_cast<size_t>(i) + 2)) {
      std::fprintf(stderr, "tarvctl -r failed\n");
      return 1;
    }
    times.push_back(ms);
  }
  vReport("tarvctl -r", times);
  dRun("-t");
  auto start = platform::uGetTickMs();
  while (fKioskRunning() && platform::uGetTickMs() - start < 10000) platform::vSleepMs(20);
  fs::remove_all(g_strDir, ec);
  return 0;
}
