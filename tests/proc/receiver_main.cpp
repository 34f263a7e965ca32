// Test program: a signal receiver in a process of its own. It records every handler call in a
// file, and in "exit" mode ends once signal 15 came, as the kiosk does after its question.
//   tx_receiver [prefix record-file exit|stay|null]
// Without arguments: prefix "Tarvenix", record file "receiver.log" beside the program, mode exit;
// a copy named after the kiosk's executable then stands in for the kiosk.
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "common/file_path.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/thread.h"
#include "proc/signal.h"

namespace {

std::string g_strRecord;
std::thread::id g_mainThread;
std::atomic<int> g_iSigTerm{0};

void vAppend(const std::string& line) {
  FILE* fp = std::fopen(g_strRecord.c_str(), "ab");
  if (fp == nullptr) return;
  std::fputs(line.c_str(), fp);
  std::fclose(fp);
}

void vOnSignal(int iSignal) {
  const char* where = std::this_thread::get_id() == g_mainThread ? "main" : "receiver";
  vAppend("signal " + std::to_string(iSignal) + " " + where + "\n");
  if (iSignal == 15) g_iSigTerm.store(1);
}

}  // namespace

int main(int argc, char* argv[]) {
  g_mainThread = std::this_thread::get_id();
  std::string prefix = "Tarvenix";
  std::string mode = "exit";
  if (argc >= 4) {
    prefix = argv[1];
    g_strRecord = argv[2];
    mode = argv[3];
  } else {
    CFilePath dir(FP_MODULE_DIR);
    g_strRecord = dir.strGetDir() + platform::cPathSeparator() + "receiver.log";
  }

  CSignal signal;
  signal.m_strName = prefix;
  CSignalRecord record = {mode == "null" ? nullptr : vOnSignal, 0x2002, 0x10000000, 0};
  for (unsigned n = 1; n <= SIGNAL_MAX; n++) signal.vSetHandler(n, &record);
  signal.fTerminate();
  signal.m_hThread = platform::hBeginThread(CSignal::ReceiveThread, &signal);
  if (signal.m_hThread == nullptr) return 2;
  vAppend("ready\n");

  // The kiosk polls its flag every 500 ms; this one polls faster, the protocol is the same.
  while (mode != "exit" || g_iSigTerm.load() == 0) platform::vSleepMs(50);
  BOOL stopped = signal.fTerminate();
  vAppend(stopped ? "stopped\n" : "stop failed\n");
  return 0;
}
