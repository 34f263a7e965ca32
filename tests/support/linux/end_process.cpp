// fEndProcess: kill and waitpid.
#include "tests/support/end_process.h"

#include <signal.h>
#include <sys/wait.h>

#include "tests/support/wait.h"

namespace txtest {

bool fEndProcess(pid_t& pid, uint32_t uGraceMs) {
  if (pid <= 0) return true;
  kill(pid, SIGTERM);
  bool ended = fWaitUntil([&] { return waitpid(pid, nullptr, WNOHANG) == pid; }, uGraceMs, 20);
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  pid = -1;
  return ended;
}

}  // namespace txtest
