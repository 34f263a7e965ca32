// CKioskFolder on Linux: the programs beside the test program, fork and exec from the folder.
#include "tests/support/kiosk_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace txtest {

namespace {

bool fIsKioskFile(const std::string& strName) {
  auto fEndsWith = [&](const std::string& end) {
    return strName.size() > end.size() && strName.compare(strName.size() - end.size(), end.size(), end) == 0;
  };
  bool hookLibrary = strName.rfind("libTX", 0) == 0 && fEndsWith("_64.so");
  return strName == "Tarvenix" || strName == "tarvctl" || strName == "TarvenixRun.sh" || hookLibrary;
}

}  // namespace

CKioskFolder::~CKioskFolder() {
  if (m_strDir.empty()) return;
  std::error_code ec;
  for (const auto& entry : fs::recursive_directory_iterator(m_strDir, ec)) {
    if (entry.is_directory(ec)) fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::permissions(m_strDir, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(m_strDir, ec);
}

bool CKioskFolder::fInstall(const std::string& strPrefix) {
  std::string pattern = "/tmp/" + strPrefix + "XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return m_strError = "mkdtemp " + pattern, false;
  m_strDir = pattern;
  const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(bin)) {
    std::string name = entry.path().filename().string();
    if (fIsKioskFile(name)) {
      fs::copy_file(entry.path(), strPath(name), ec);
    } else if (name == "webext") {
      fs::copy(entry.path(), strPath(name), fs::copy_options::recursive, ec);
    }
    if (ec) return m_strError = "cannot copy " + name + ": " + ec.message(), false;
  }
  if (!fs::exists(strPath("Tarvenix"))) return m_strError = "no Tarvenix beside " + bin.string(), false;
  return true;
}

bool CKioskFolder::fWrite(const std::string& strName, const std::string& strText) const {
  std::ofstream out(strPath(strName), std::ios::binary);
  out << strText;
  out.close();
  return out.good();
}

std::string CKioskFolder::strRead(const std::string& strName) const { return strReadFile(strPath(strName)); }

std::string CKioskFolder::strMonthLog() const {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(m_strDir, ec)) {
    std::string name = entry.path().filename().string();
    if (name.size() == 10 && name.substr(6) == ".log" && name.find_first_not_of("0123456789") == 6)
      return strReadFile(entry.path().string());
  }
  return "";
}

bool CKioskFolder::fStart(const std::vector<std::string>& args, const std::string& strDisplay, Child& kiosk) const {
  // Everything the child needs is made before the fork: other threads of the test may hold
  // locks that the child would then never see released.
  const std::string exe = strPath("Tarvenix");
  std::vector<char*> argv = {const_cast<char*>(exe.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> env = {"XDG_CONFIG_HOME=" + strPath("config"), "GDK_BACKEND=x11", "NO_AT_BRIDGE=1"};
  if (!strDisplay.empty()) env.push_back("DISPLAY=" + strDisplay);
  for (char** p = environ; *p != nullptr; ++p) {
    std::string entry = *p, name = entry.substr(0, entry.find('=') + 1);
    bool replaced = false;
    for (size_t i = 0; i < env.size(); ++i) replaced = replaced || env[i].rfind(name, 0) == 0;
    if (!replaced) env.push_back(entry);
  }
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const std::string output = strPath("output.txt");
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_RDONLY);
    int out = open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(null, 0);
    dup2(out, 1);
    dup2(out, 2);
    if (chdir(m_strDir.c_str()) != 0) _exit(127);
    execve(exe.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  if (pid < 0) return false;
  kiosk.iHandle = pid;
  return true;
}

}  // namespace txtest
