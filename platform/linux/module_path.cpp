// Linux module path and folders: /proc/self/exe, fixed system folders, XDG user folders and
// mkstemp in the temporary directory.
#include "platform/module_path.h"

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace platform {

static unsigned int uCopyOut(const std::string& text, char* buf, unsigned int size) {
  if (size <= text.size()) return static_cast<unsigned int>(text.size() + 1);
  std::memcpy(buf, text.c_str(), text.size() + 1);
  return static_cast<unsigned int>(text.size());
}

unsigned int uGetModuleFileName(char* buf, unsigned int size) {
  if (buf == nullptr || size == 0) return 0;
  std::vector<char> path(4096);
  ssize_t len;
  while ((len = readlink("/proc/self/exe", path.data(), path.size())) == static_cast<ssize_t>(path.size())) {
    path.resize(path.size() * 2);
  }
  if (len <= 0) return 0;
  if (static_cast<unsigned int>(len) >= size) {
    std::memcpy(buf, path.data(), size - 1);
    buf[size - 1] = '\0';
    return size;
  }
  std::memcpy(buf, path.data(), static_cast<size_t>(len));
  buf[len] = '\0';
  return static_cast<unsigned int>(len);
}

unsigned int uGetWindowsDirectory(char* buf, unsigned int size) { return uCopyOut("/etc", buf, size); }

unsigned int uGetSystemDirectory(char* buf, unsigned int size) { return uCopyOut("/usr/lib", buf, size); }

// Reads XDG_<NAME>_DIR from ~/.config/user-dirs.dirs, expanding a leading $HOME.
static BOOL fReadXdgUserDir(const std::string& home, const char* pszKey, std::string& strFolder) {
  const char* config = getenv("XDG_CONFIG_HOME");
  std::string file = (config && *config) ? std::string(config) : home + "/.config";
  file += "/user-dirs.dirs";
  FILE* fp = fopen(file.c_str(), "r");
  if (fp == nullptr) return FALSE;
  std::string prefix = std::string(pszKey) + "=\"";
  char line[4096];
  BOOL found = FALSE;
  while (!found && fgets(line, sizeof line, fp) != nullptr) {
    std::string text(line);
    if (text.compare(0, prefix.size(), prefix) != 0) continue;
    std::string value = text.substr(prefix.size());
    std::string::size_type quote = value.find('"');
    if (quote == std::string::npos) continue;
    value.resize(quote);
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    strFolder = value;
    found = TRUE;
  }
  fclose(fp);
  return found;
}

BOOL fGetShellFolder(const char* pszName, std::string& strFolder) {
  const char* home = getenv("HOME");
  if (home == nullptr || *home == '\0') return FALSE;
  if (std::strcmp(pszName, "Desktop") == 0) {
    if (!fReadXdgUserDir(home, "XDG_DESKTOP_DIR", strFolder)) strFolder = std::string(home) + "/Desktop";
    return TRUE;
  }
  if (std::strcmp(pszName, "Favorites") == 0) {
    // No XDG folder for browser favourites; bookmarks conventionally live in the home folder.
    strFolder = std::string(home) + "/Favorites";
    return TRUE;
  }
  return FALSE;
}

BOOL fCreateTempFile(const char* pszPrefix, std::string& strPath) {
  const char* dir = getenv("TMPDIR");
  std::string path = (dir && *dir) ? dir : "/tmp";
  path += "/";
  path += pszPrefix;
  path += "XXXXXX";
  std::vector<char> name(path.begin(), path.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return FALSE;
  close(fd);
  strPath = name.data();
  return TRUE;
}

}  // namespace platform
