// Test helper on Linux: fork and execv, files on the standard streams, waitpid.
#include "tests/support/spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <thread>

namespace txtest {

static int iOpenOut(const std::string& strPath) {
  return open(strPath.empty() ? "/dev/null" : strPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

bool fSpawn(const std::vector<std::string>& args, Child& child, const std::string& strOut, const std::string& strErr) {
  int out = iOpenOut(strOut);
  int err = iOpenOut(strErr);
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_RDONLY);
    dup2(null, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out);
  close(err);
  if (pid < 0) return false;
  child.iHandle = pid;
  return true;
}

bool fWait(Child& child, uint32_t uMillis, int& iStatus) {
  if (child.iHandle == 0) return false;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(uMillis);
  for (;;) {
    int status = 0;
    pid_t r = waitpid(static_cast<pid_t>(child.iHandle), &status, WNOHANG);
    if (r == static_cast<pid_t>(child.iHandle)) {
      child.iHandle = 0;
      iStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return true;
    }
    if (r < 0 || std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

void vKill(Child& child) {
  if (child.iHandle == 0) return;
  kill(static_cast<pid_t>(child.iHandle), SIGKILL);
  waitpid(static_cast<pid_t>(child.iHandle), nullptr, 0);
  child.iHandle = 0;
}

int iStatusMinusOne() { return 255; }

const char* pszExeSuffix() { return ""; }

std::string strCommandOutput(const std::string& strCommand) {
  std::string out;
  FILE* pipe = popen(strCommand.c_str(), "r");
  if (pipe == nullptr) return out;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
  pclose(pipe);
  return out;
}

}  // namespace txtest
