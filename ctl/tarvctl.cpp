// tarvctl: stops (-t) or restarts (-r) the kiosk from scripts; answers "Ok" or "Error", logs to
// tarvctl.log beside itself and ends with status 0 or -1.
#include <clocale>
#include <cstdio>
#include <string>

#include "common/date_time.h"
#include "common/file_path.h"
#include "common/get_opt.h"
#include "common/log_file.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "platform/message_pump.h"
#include "platform/process.h"
#include "proc/proc.h"
#include "proc/signal.h"

namespace {

const int EXIT_OK = 0;
const int EXIT_ERROR = -1;
const unsigned int SIGNAL_TERMINATE = 15;
const unsigned int ACK_TIMEOUT_MS = 30000;
const uint32_t VANISH_TIMEOUT_MS = 20000;
const uint32_t VANISH_POLL_MS = 100;

class CControl {
 public:
  CControl() : m_Log(1024, TRUE) {
    m_strDir = CFilePath(FP_MODULE_DIR).strGetDir() + platform::cPathSeparator();
    m_Log.fOpen(m_strDir + "tarvctl.log", FALSE, FALSE);
    m_Raise.m_strName = "Tarvenix";
  }

  int iRun(int argc, char* argv[]);

 private:
  void vWriteStartLine();
  int iStop();
  int iRestart();
  int iSignalKiosk();
  int iAnswer(int iStatus) {
    std::printf(iStatus == EXIT_OK ? "Ok\n" : "Error\n");
    return iStatus;
  }

  std::string m_strDir;
  CLogFile m_Log;
  CRaise m_Raise;
};

// "YYYY/MM/DD hh:mm:ss command execute" from the compact text of now.
void CControl::vWriteStartLine() {
  std::string now;
  CDateTime::fGetString(now, DT_COMPACT);
  std::string stamp;
  if (now.size() >= 14) {
    stamp = now.substr(0, 4) + "/" + now.substr(4, 2) + "/" + now.substr(6, 2) + " " + now.substr(8, 2) + ":" +
            now.substr(10, 2) + ":" + now.substr(12, 2);
  }
  m_Log.fWrite("%s command execute\n", stamp.c_str());
}

int CControl::iSignalKiosk() {
  if (m_Raise.fRaise(SIGNAL_TERMINATE, ACK_TIMEOUT_MS)) return EXIT_OK;
  std::printf("Error\n");
  m_Log.fWrite("SIGTERM signal send error. exit\n");
  return EXIT_ERROR;
}

int CControl::iStop() {
  m_Log.fWrite("paramator -t call\n");
  CProc proc;
  uint32_t pid = 0;
  if (!proc.fFindProcess(platform::pszKioskExeName(), pid)) {
    m_Log.fWrite("already tarminated. signal not sended\n");
    return iAnswer(EXIT_OK);
  }
  if (iSignalKiosk() != EXIT_OK) return EXIT_ERROR;
  return iAnswer(EXIT_OK);
}

int CControl::iRestart() {
  m_Log.fWrite("paramator -r call\n");
  CProc proc;
  uint32_t pid = 0;
  if (proc.fFindProcess(platform::pszKioskExeName(), pid)) {
    if (iSignalKiosk() != EXIT_OK) return EXIT_ERROR;
    uint32_t start = platform::uGetTickMs();
    do {
      platform::vSleepMs(VANISH_POLL_MS);
      platform::vDispatchPendingMessages();
      if (platform::uGetTickMs() - start > VANISH_TIMEOUT_MS) {
        std::printf("Error\n");
        m_Log.fWrite("[%s] is terminate error. 20sec retryed timeout. exit\n", platform::pszKioskExeName());
        return EXIT_ERROR;
      }
    } while (proc.fFindProcess(platform::pszKioskExeName(), pid));
  }
  std::string script = m_strDir + platform::pszRunScriptName();
  if (platform::fStartRunScript(script)) return iAnswer(EXIT_OK);
  std::printf("Error\n");
  m_Log.fWrite("[%s] is execute error. exit\n", script.c_str());
  return EXIT_ERROR;
}

int CControl::iRun(int argc, char* argv[]) {
  vWriteStartLine();
  CGetOpt opt;
  for (;;) {
    int c = opt.getopt(argc, argv, "rt");
    if (c == -1) break;
    if (c == '?') continue;  // already reported by the parser
    if (c == 'r') return iRestart();
    if (c == 't') return iStop();
    m_Log.fWrite("paramator unknown\n");
    return iAnswer(EXIT_ERROR);
  }
  for (int i = opt.iGetOptInd(); i < argc; i = opt.iGetOptInd()) {
    std::printf("%s\n", argv[i]);
    opt.vSetOptInd(i + 1);
  }
  if (argc < 2) {
    std::printf("Tarvenix control command\n");
    std::printf("usage: tarvctl [option]\n");
    std::printf("-r :START or RESTART (requre %s)\n", platform::pszRunScriptName());
    std::printf("-t :TERMINATE\n");
  }
  return EXIT_ERROR;
}

}  // namespace

int main(int argc, char* argv[]) {
  platform::vSelectJapaneseLocale(LC_CTYPE);
  CControl control;
  int status = control.iRun(argc, argv);
  std::fflush(stdout);
  return status;
}
