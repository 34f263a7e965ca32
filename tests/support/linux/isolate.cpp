// Test helper on Linux: unshare the mount and pid namespaces, mount a private /proc and /tmp.
#include "tests/support/isolate.h"

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>

namespace txtest {

bool fIsolate() {
  if (geteuid() != 0) return false;
  if (unshare(CLONE_NEWNS | CLONE_NEWPID) != 0) return false;
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (mount("proc", "/proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) != 0 ||
        mount("tmpfs", "/tmp", "tmpfs", MS_NOSUID | MS_NODEV, "mode=1777") != 0) {
      _exit(125);
    }
    return true;
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 126);
}

}  // namespace txtest
