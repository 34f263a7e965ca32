// CProbeSession: the probe on a private X server, read and driven through pipes, for the hook
// libraries' X11 tests.
#include "probe_session.h"
#include "tests/support/end_process.h"
#include "tests/support/spawn.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fstream>

namespace {

std::string strProgramDir() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  path[n] = '\0';
  std::string text(path);
  return text.substr(0, text.rfind('/'));
}

bool fCopyFile(const std::string& strFrom, const std::string& strTo) {
  std::ifstream in(strFrom, std::ios::binary);
  std::ofstream out(strTo, std::ios::binary);
  out << in.rdbuf();
  out.close();
  return in.good() && out.good() && chmod(strTo.c_str(), 0755) == 0;
}

long long llNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

CProbeSession::~CProbeSession() {
  if (m_fdIn >= 0) close(m_fdIn);
  txtest::fEndProcess(m_Probe, 2000);
  if (m_fdOut >= 0) close(m_fdOut);
  if (!m_strDir.empty()) std::system(("rm -rf '" + m_strDir + "'").c_str());
}

bool CProbeSession::fStart(bool bWindowManager) {
  if (!m_X.fStart(bWindowManager)) return m_strError = m_X.m_strError, false;
  m_strDisplay = m_X.strDisplay();

  char dir[] = "/tmp/tx-hooks-XXXXXX";
  if (mkdtemp(dir) == nullptr) return m_strError = "mkdtemp", false;
  m_strDir = dir;
  const std::string probe = m_strDir + "/hook_probe";
  if (!fCopyFile(strProgramDir() + "/hook_probe", probe)) return m_strError = "cannot copy hook_probe", false;

  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return m_strError = "pipe", false;
  m_Probe = fork();
  if (m_Probe == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    setenv("DISPLAY", m_strDisplay.c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    chdir(m_strDir.c_str());
    execl(probe.c_str(), probe.c_str(), nullptr);
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  m_fdIn = in[1];
  m_fdOut = out[0];
  if (!fWaitFor("READY ", 60000)) {
    int status = 0;
    pid_t done = waitpid(m_Probe, &status, WNOHANG);
    if (done == m_Probe) m_Probe = -1;
    m_strError = std::string("the probe did not show its window (") +
                 (done == 0 ? "still running" : "ended with status " + std::to_string(status)) + ", " +
                 std::to_string(m_Seen.size()) + " lines)";
    return false;
  }
  m_ulWindow = std::stoul(m_Seen.back().substr(6));
  // The pointer starts in the middle of the window, away from every corner.
  return fXdo("mousemove 640 400");
}

void CProbeSession::vSend(const std::string& strCommand) {
  std::string line = strCommand + "\n";
  ssize_t n = write(m_fdIn, line.data(), line.size());
  (void)n;
}

bool CProbeSession::fWaitFor(const std::string& strPrefix, int iTimeoutMs) {
  long long end = llNowMs() + iTimeoutMs;
  for (;;) {
    size_t eol;
    while ((eol = m_strBuffer.find('\n')) != std::string::npos) {
      std::string line = m_strBuffer.substr(0, eol);
      m_strBuffer.erase(0, eol + 1);
      m_Seen.push_back(line);
      if (line.compare(0, strPrefix.size(), strPrefix) == 0) return true;
    }
    long long left = end - llNowMs();
    if (left <= 0) return false;
    pollfd p = {m_fdOut, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    char chunk[512];
    ssize_t n = read(m_fdOut, chunk, sizeof chunk);
    if (n <= 0) return false;
    m_strBuffer.append(chunk, static_cast<size_t>(n));
  }
}

bool CProbeSession::fCommand(const std::string& strCommand, int iTimeoutMs) {
  vSend(strCommand);
  std::string word = strCommand.substr(0, strCommand.find(' '));
  long long end = llNowMs() + iTimeoutMs;
  size_t from = m_Seen.size();
  while (fWaitFor("", static_cast<int>(std::max(0LL, end - llNowMs())))) {
    for (size_t i = from; i < m_Seen.size(); ++i) {
      if (m_Seen[i] == "DONE " + word || m_Seen[i].compare(0, 8 + word.size(), "RESULT " + word + " ") == 0) {
        return true;
      }
    }
  }
  return false;
}

int CProbeSession::iCount(const std::string& strPrefix, size_t iFrom) const {
  int count = 0;
  for (size_t i = iFrom; i < m_Seen.size(); ++i) {
    if (m_Seen[i].compare(0, strPrefix.size(), strPrefix) == 0) count++;
  }
  return count;
}

std::string CProbeSession::strHookLog() const { return txtest::strReadFile(m_strDir + "/TXHook.log"); }
