// iStartXvfb: Xvfb with -displayfd, so the server itself picks a free display number.
#include "tests/support/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace {

long long llNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

pid_t iStartXvfb(std::string& strDisplay) {
  int display[2];
  if (pipe(display) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    close(display[0]);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    std::string fd = std::to_string(display[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp", nullptr);
    _exit(127);
  }
  close(display[1]);
  if (pid < 0) {
    close(display[0]);
    return -1;
  }
  std::string number;
  pollfd p = {display[0], POLLIN, 0};
  long long end = llNowMs() + 20000;
  while (number.find('\n') == std::string::npos && llNowMs() < end) {
    if (poll(&p, 1, 200) <= 0) continue;
    char c[16];
    ssize_t n = read(display[0], c, sizeof c);
    if (n <= 0) break;
    number.append(c, static_cast<size_t>(n));
  }
  close(display[0]);
  if (number.find('\n') == std::string::npos) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return -1;
  }
  strDisplay = ":" + number.substr(0, number.find('\n'));
  return pid;
}
