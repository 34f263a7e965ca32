// Linux processes: the /proc entries compared by executable file name, and a detached start of the
// run script with fork, setsid and execv.
#include "platform/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

const char* pszKioskExeName() { return "Tarvenix"; }

const char* pszRunScriptName() { return "TarvenixRun.sh"; }

namespace {

std::string strBaseName(const std::string& strPath) {
  std::string::size_type slash = strPath.rfind('/');
  return slash == std::string::npos ? strPath : strPath.substr(slash + 1);
}

BOOL fReadSmallFile(const std::string& strPath, std::string& strText) {
  int fd = open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FALSE;
  char buf[4096];
  ssize_t n = read(fd, buf, sizeof buf);
  close(fd);
  if (n < 0) return FALSE;
  strText.assign(buf, static_cast<size_t>(n));
  return TRUE;
}

// The state letter and the command name from /proc/<id>/stat ("<id> (<comm>) <state> ...").
BOOL fReadStat(const std::string& strDir, char& cState, std::string& strComm) {
  std::string text;
  if (!fReadSmallFile(strDir + "/stat", text)) return FALSE;
  std::string::size_type open = text.find('(');
  std::string::size_type close = text.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open || close + 2 >= text.size()) {
    return FALSE;
  }
  strComm = text.substr(open + 1, close - open - 1);
  cState = text[close + 2];
  return TRUE;
}

// The executable file name of a live process; false for processes we cannot tell or that ended.
BOOL fExeFileName(const std::string& strDir, std::string& strName) {
  char cState = 0;
  std::string comm;
  if (!fReadStat(strDir, cState, comm) || cState == 'Z' || cState == 'X') return FALSE;
  char target[4096];
  ssize_t n = readlink((strDir + "/exe").c_str(), target, sizeof target - 1);
  if (n > 0) {
    std::string path(target, static_cast<size_t>(n));
    // A program file replaced or removed while it runs is still that program.
    static const char deleted[] = " (deleted)";
    if (path.size() > sizeof deleted - 1 &&
        path.compare(path.size() - (sizeof deleted - 1), std::string::npos, deleted) == 0) {
      path.resize(path.size() - (sizeof deleted - 1));
    }
    strName = strBaseName(path);
    return TRUE;
  }
  // Another account's process: its exe link is closed to us, its command line is not.
  std::string cmdline;
  if (!fReadSmallFile(strDir + "/cmdline", cmdline) || cmdline.empty()) return FALSE;
  std::string argv0 = strBaseName(std::string(cmdline.c_str()));
  // The command name is the executable's name cut to 15 bytes; argv[0] must agree with it.
  if (argv0.compare(0, 15, comm) != 0 || (comm.size() < 15 && argv0.size() != comm.size())) return FALSE;
  strName = argv0;
  return TRUE;
}

}  // namespace

BOOL fFindProcessByName(const char* pszExeName, uint32_t& uPid) {
  if (pszExeName == nullptr || *pszExeName == '\0' || std::strchr(pszExeName, '/') != nullptr) return FALSE;
  DIR* dir = opendir("/proc");
  if (dir == nullptr) return FALSE;
  std::vector<uint32_t> pids;
  while (struct dirent* entry = readdir(dir)) {
    char* end = nullptr;
    unsigned long id = std::strtoul(entry->d_name, &end, 10);
    if (end != entry->d_name && *end == '\0' && id > 0 && id <= 0xFFFFFFFFul) pids.push_back(static_cast<uint32_t>(id));
  }
  closedir(dir);
  std::sort(pids.begin(), pids.end());
  for (uint32_t id : pids) {
    std::string name;
    if (fExeFileName("/proc/" + std::to_string(id), name) && strcasecmp(name.c_str(), pszExeName) == 0) {
      uPid = id;
      return TRUE;
    }
  }
  return FALSE;
}

BOOL fStartRunScript(const std::string& strPath) {
  // The grandchild reports a failed exec through this pipe; a pipe closed by exec means started.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return FALSE;
  pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return FALSE;
  }
  if (child == 0) {
    close(report[0]);
    setsid();
    pid_t grandchild = fork();
    if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
    int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
      if (null > 2) close(null);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    char* const argv[] = {const_cast<char*>(strPath.c_str()), nullptr};
    execv(strPath.c_str(), argv);
    int error = errno;
    ssize_t ignored = write(report[1], &error, sizeof error);
    (void)ignored;
    _exit(127);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  BOOL bForked = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  int error = 0;
  ssize_t n;
  while ((n = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  return bForked && n == 0 ? TRUE : FALSE;
}

}  // namespace platform
