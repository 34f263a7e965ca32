// Log benchmark: entries per second in the per-write mode, and the archive step on a full file.
//
// Usage: log_bench [folder] [entries]   (folder: where the scratch logs go, default the program's)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/file_path.h"
#include "common/log_file.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace {

// A line of the length an access-log navigation line has.
const char kMessage[] = "CChildView::OnBeforeNavigate2Custum() URL=http://localhost/kiosk/index.html frame=%d\n";

void vRemoveLogs(const std::string& path) {
  platform::fDeleteFile(path.c_str());
  for (int n = 1; n <= 100; ++n) platform::fDeleteFile((path + "." + std::to_string(n)).c_str());
}

// Entries per second of a program log in the per-write mode (open, write, flush, close each time).
double dWritesPerSecond(const std::string& path, int entries, BOOL bRotate) {
  vRemoveLogs(path);
  CSystemLog log(1024, bRotate);
  log.fOpen(path);
  uint64_t start = platform::uGetTickUs();
  for (int i = 0; i < entries; ++i) log.fWrite(LOG_ERROR, kMessage, i);
  uint64_t spent = platform::uGetTickUs() - start;
  vRemoveLogs(path);
  return spent > 0 ? entries * 1e6 / static_cast<double>(spent) : 0.0;
}

// Milliseconds of the write that archives a file of 10000 lines, less one ordinary write.
double dArchiveMs(const std::string& path) {
  vRemoveLogs(path);
  FILE* fp = std::fopen(path.c_str(), "w");
  if (fp == nullptr) return -1.0;
  for (int i = 0; i < 10000; ++i) {
    std::fprintf(fp, "\"Error\",2025/01/06 09:05:03.42,");
    std::fprintf(fp, kMessage, i);
  }
  std::fclose(fp);

  CSystemLog log;
  log.fOpen(path);
  uint64_t start = platform::uGetTickUs();
  log.fWrite(LOG_ERROR, kMessage, 0);  // archives into ".1", then writes
  uint64_t archiving = platform::uGetTickUs() - start;
  start = platform::uGetTickUs();
  log.fWrite(LOG_ERROR, kMessage, 1);
  uint64_t plain = platform::uGetTickUs() - start;
  BOOL archived = platform::fIsRegularFile((path + ".1").c_str());
  vRemoveLogs(path);
  if (!archived) return -1.0;
  return static_cast<double>(archiving - std::min(plain, archiving)) / 1000.0;
}

double dMedian(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  std::string dir = argc > 1 ? argv[1] : CFilePath(FP_MODULE_DIR).strGetDir();
  int entries = argc > 2 ? std::atoi(argv[2]) : 5000;
  if (entries < 1) entries = 5000;
  std::string path = dir + platform::cPathSeparator() + "log_bench.log";

  std::vector<double> rates, rotatingRates, archives;
  for (int run = 0; run < 5; ++run) {
    rates.push_back(dWritesPerSecond(path, entries, FALSE));
    rotatingRates.push_back(dWritesPerSecond(path, 2 * 10000 + entries, TRUE));
    archives.push_back(dArchiveMs(path));
  }
  char line[256];
  int lineBytes = std::snprintf(line, sizeof line, kMessage, 1234) + 31;  // with "Error" and the stamp
  std::printf("per-write mode, %d entries of about %d bytes: %.0f entries/s (median of 5, best %.0f)\n", entries,
              lineBytes, dMedian(rates), *std::max_element(rates.begin(), rates.end()));
  std::printf("per-write mode with rotation, %d entries (2 archives): %.0f entries/s (median of 5)\n",
              2 * 10000 + entries, dMedian(rotatingRates));
  std::printf("archive step on a 10000-line file of about %d bytes a line: %.2f ms (median of 5, best %.2f)\n",
              lineBytes, dMedian(archives), *std::min_element(archives.begin(), archives.end()));
  return *std::min_element(archives.begin(), archives.end()) < 0 ? 1 : 0;
}
