// Linux side of the black-box test support: fork and exec, and the registry's file store.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/app/run_support.h"

std::string strExeName(const std::string& strBase) { return strBase; }

std::string strLineEnd() { return "\n"; }

int iRunProgram(const std::string& strProgram, const std::vector<std::string>& args) {
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    std::string dir = strProgram.substr(0, strProgram.find_last_of('/'));
    if (chdir(dir.c_str()) != 0) _exit(127);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(strProgram.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(strProgram.c_str(), argv.data());
    _exit(127);
  }
  // A start-up that succeeds leaves the kiosk running on its page: once its main window is on
  // the display, end it as a session end would (SIGTERM closes it without a question).
  const std::string search = "xdotool search --onlyvisible --pid " + std::to_string(pid) + " --class TarvenixClass >/dev/null 2>&1";
  int status = 0;
  for (int waited = 0; waited < 60000; waited += 100) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0) return -1;
    if (std::system(search.c_str()) == 0) break;
    usleep(100 * 1000);
  }
  kill(pid, SIGTERM);
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void vUseRegistryIn(const std::string& strDir) { setenv("XDG_CONFIG_HOME", strDir.c_str(), 1); }

static std::string strFeatureDir(const char* pszFeature) {
  return std::string(getenv("XDG_CONFIG_HOME")) +
         "/tarvenix/registry/HKEY_CURRENT_USER/Software/Microsoft/Internet Explorer/Main/FeatureControl/" + pszFeature;
}

bool fQueryFeature(const char* pszFeature, uint32_t& uValue) {
  FILE* fp = std::fopen((strFeatureDir(pszFeature) + "/=Tarvenix.exe").c_str(), "rb");
  if (fp == nullptr) return false;
  unsigned char data[9] = {};
  size_t n = std::fread(data, 1, sizeof data, fp);
  std::fclose(fp);
  if (n != 8 || data[0] != 4 || data[1] || data[2] || data[3]) return false;  // REG_DWORD, 4 bytes
  uValue = data[4] | (data[5] << 8) | (data[6] << 16) | (static_cast<uint32_t>(data[7]) << 24);
  return true;
}

bool fBlockFeature(const char* pszFeature, bool bBlock) {
  std::string dir = strFeatureDir(pszFeature);
  std::string cmd = "mkdir -p '" + dir + "'";
  if (std::system(cmd.c_str()) != 0) return false;
  return chmod(dir.c_str(), bBlock ? 0 : 0700) == 0;
}

bool fDeleteFeature(const char* pszFeature) {
  std::string cmd = "rm -rf '" + strFeatureDir(pszFeature) + "'";
  return std::system(cmd.c_str()) == 0;
}

bool fFolderPermissionsApply() { return true; }

bool fMakeReadOnly(const std::string& strPath, bool bOn) { return chmod(strPath.c_str(), bOn ? 0444 : 0644) == 0; }
