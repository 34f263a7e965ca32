// CXSession: Xvfb, the probe and xdotool for the hook libraries' X11 tests.
#include "x_session.h"
#include "tests/support/x_cursor.h"
#include "tests/support/xvfb.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
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
#include <cstring>
#include <fstream>
#include <sstream>

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

void vStop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return;
    }
    usleep(20000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

long long llNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

CXSession::~CXSession() {
  if (m_fdIn >= 0) close(m_fdIn);
  vStop(m_Probe);
  if (m_fdOut >= 0) close(m_fdOut);
  vStop(m_WindowManager);
  vStop(m_Xvfb);
  if (!m_strDir.empty()) std::system(("rm -rf '" + m_strDir + "'").c_str());
}

bool CXSession::fStart(bool bWindowManager) {
  m_Xvfb = iStartXvfb(m_strDisplay);
  if (m_Xvfb < 0) return m_strError = "Xvfb did not start", false;

  if (bWindowManager) {
    m_WindowManager = fork();
    if (m_WindowManager == 0) {
      int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      setenv("DISPLAY", m_strDisplay.c_str(), 1);
      execlp("openbox", "openbox", "--sm-disable", nullptr);
      _exit(127);
    }
    // The window manager is ready once it announces the window activation that xdotool uses.
    bool ready = false;
    for (int i = 0; i < 250 && !ready; ++i) {
      ready = std::system(("xprop -display " + m_strDisplay + " -root _NET_SUPPORTED 2>/dev/null | grep -q " +
                           "_NET_ACTIVE_WINDOW")
                              .c_str()) == 0;
      if (!ready) usleep(40000);
    }
    if (!ready) return m_strError = "openbox did not start", false;
  }

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

void CXSession::vSend(const std::string& strCommand) {
  std::string line = strCommand + "\n";
  ssize_t n = write(m_fdIn, line.data(), line.size());
  (void)n;
}

bool CXSession::fWaitFor(const std::string& strPrefix, int iTimeoutMs) {
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

bool CXSession::fCommand(const std::string& strCommand, int iTimeoutMs) {
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

bool CXSession::fXdo(const std::string& strArgs) {
  std::string command = "DISPLAY=" + m_strDisplay + " xdotool " + strArgs;
  return std::system(command.c_str()) == 0;
}

int CXSession::iCount(const std::string& strPrefix, size_t iFrom) const {
  int count = 0;
  for (size_t i = iFrom; i < m_Seen.size(); ++i) {
    if (m_Seen[i].compare(0, strPrefix.size(), strPrefix) == 0) count++;
  }
  return count;
}

int CXSession::iCursorPixels() { return txtest::iCursorPixels(m_strDisplay); }

std::string CXSession::strCursorPrint() {
  Display* display = XOpenDisplay(m_strDisplay.c_str());
  if (display == nullptr) return "";
  std::string print;
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (image != nullptr) {
    unsigned long long hash = 1469598103934665603ULL;
    for (int i = 0; i < image->width * image->height; ++i) hash = (hash ^ image->pixels[i]) * 1099511628211ULL;
    print = std::to_string(image->width) + "x" + std::to_string(image->height) + "@" + std::to_string(image->xhot) +
            "," + std::to_string(image->yhot) + "#" + std::to_string(hash);
    XFree(image);
  }
  XCloseDisplay(display);
  return print;
}

std::string CXSession::strHookLog() const {
  std::ifstream in(m_strDir + "/TXHook.log");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
