// Linux registry: a per-user store of folders (keys) and files (values) under the user's
// configuration folder; docs/ARCHITECTURE.md shows its layout.
#include "platform/registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/linux/file_replace.h"

namespace platform {
namespace {

// Each key is a folder under $XDG_CONFIG_HOME/tarvenix/registry/<root name> (else under
// $HOME/.config, else the account's home folder's); each value a file in its key's folder named
// "=" and the value name, holding the type (4 bytes, little-endian) and the data. Names compare
// without regard to ASCII case. Permission bits decide access, even for root: a key folder without
// read bits cannot be opened for reading, one without write bits takes no new values or subkeys.
struct OpenKey {
  std::string strDir;
  uint32_t uAccess;
};

const uint32_t kReadAccess = 0x0001 | 0x0008 | 0x0010;  // query, enumerate, notify
const uint32_t kWriteAccess = 0x0002 | 0x0004;          // set value, create subkey

std::string strStoreDir() {
  const char* config = getenv("XDG_CONFIG_HOME");
  if (config != nullptr && *config == '/') return std::string(config) + "/tarvenix/registry";
  const char* home = getenv("HOME");
  if (home == nullptr || *home == '\0') {
    // Services may start the kiosk without HOME: the account's home folder then.
    const passwd* pw = getpwuid(geteuid());
    home = pw != nullptr ? pw->pw_dir : nullptr;
  }
  if (home != nullptr && *home != '\0') return std::string(home) + "/.config/tarvenix/registry";
  return std::string();
}

const char* pszRootName(RegKey key) {
  switch (key) {
    case REGKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case REGKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case REGKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case REGKEY_USERS: return "HKEY_USERS";
    default: return nullptr;
  }
}

BOOL fIsRoot(RegKey key) { return pszRootName(key) != nullptr ? TRUE : FALSE; }

// The folder of a root key or an open key; empty when the handle is unknown.
std::string strDirOf(RegKey key) {
  if (const char* root = pszRootName(key)) {
    std::string store = strStoreDir();
    return store.empty() ? store : store + "/" + root;
  }
  if (key == 0) return std::string();
  return reinterpret_cast<OpenKey*>(key)->strDir;
}

// File-name form of a key or value name: '%', '/' and a leading '.' or '=' as %XX.
std::string strEncode(const std::string& name) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c == '%' || c == '/' || (i == 0 && (c == '.' || c == '='))) {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

BOOL fSameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return FALSE;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return FALSE;
  }
  return TRUE;
}

BOOL fIsDir(const std::string& path) {
  struct stat st {};
  return (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) ? TRUE : FALSE;
}

// The entry of dir whose name matches encoded without regard to case (directories only when
// bDir); empty when there is none.
std::string strFindEntry(const std::string& dir, const std::string& encoded, BOOL bDir) {
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return std::string();
  std::string found;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (!fSameName(name, encoded)) continue;
    if (bDir && !fIsDir(dir + "/" + name)) continue;
    found = name;
    if (name == encoded) break;  // the exact spelling wins over another case
  }
  closedir(d);
  return found;
}

std::vector<std::string> components(const char* pszPath) {
  std::vector<std::string> parts;
  std::string part;
  for (const char* p = pszPath != nullptr ? pszPath : ""; *p != '\0'; ++p) {
    if (*p == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += *p;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

BOOL fMayOpen(const std::string& dir, uint32_t uAccess) {
  struct stat st {};
  if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return FALSE;
  if ((st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) == 0 || access(dir.c_str(), X_OK) != 0) return FALSE;
  if ((uAccess & kReadAccess) && !fMayRead(dir)) return FALSE;
  if ((uAccess & kWriteAccess) && !fMayWrite(dir)) return FALSE;
  return TRUE;
}

RegKey hOpened(const std::string& dir, uint32_t uAccess) { return reinterpret_cast<RegKey>(new OpenKey{dir, uAccess}); }

BOOL fOpenOrCreate(RegKey hRoot, const char* pszPath, uint32_t uAccess, BOOL bCreate, RegKey& hKey) {
  std::string dir = strDirOf(hRoot);
  if (dir.empty()) return FALSE;
  if (bCreate && fIsRoot(hRoot)) {
    // The store's own folders are made on first use, private to the user.
    for (std::string::size_type at = dir.find('/', 1); at != std::string::npos; at = dir.find('/', at + 1)) {
      mkdir(dir.substr(0, at).c_str(), 0700);
    }
    mkdir(dir.c_str(), 0700);
  }
  for (const std::string& name : components(pszPath)) {
    std::string encoded = strEncode(name);
    std::string entry = strFindEntry(dir, encoded, TRUE);
    if (entry.empty()) {
      if (!bCreate || !fMayOpen(dir, kWriteAccess)) return FALSE;
      if (mkdir((dir + "/" + encoded).c_str(), 0700) != 0) return FALSE;
      entry = encoded;
    }
    dir += "/" + entry;
  }
  if (!fMayOpen(dir, uAccess)) return FALSE;
  hKey = hOpened(dir, uAccess);
  return TRUE;
}

std::string strValueFile(const std::string& dir, const char* pszName) {
  std::string encoded = "=" + strEncode(pszName != nullptr ? pszName : "");
  std::string entry = strFindEntry(dir, encoded, FALSE);
  return dir + "/" + (entry.empty() ? encoded : entry);
}

}  // namespace

BOOL fRegOpenKey(RegKey hRoot, const char* pszPath, uint32_t uAccess, RegKey& hKey) {
  return fOpenOrCreate(hRoot, pszPath, uAccess, FALSE, hKey);
}

BOOL fRegCreateKey(RegKey hRoot, const char* pszPath, const char* pszClass, uint32_t uAccess, RegKey& hKey) {
  return fOpenOrCreate(hRoot, pszPath, uAccess, TRUE, hKey);
}

BOOL fRegSetValue(RegKey hKey, const char* pszName, uint32_t uType, const void* pData, uint32_t uSize) {
  if (fIsRoot(hKey) || hKey == 0) return FALSE;
  const OpenKey* key = reinterpret_cast<const OpenKey*>(hKey);
  if ((key->uAccess & 0x0002) == 0) return FALSE;
  std::string content(4, '\0');
  for (int i = 0; i < 4; ++i) content[i] = static_cast<char>((uType >> (8 * i)) & 0xFF);
  if (uSize > 0) {
    if (pData == nullptr) return FALSE;
    content.append(static_cast<const char*>(pData), uSize);
  }
  return fReplaceFile(strValueFile(key->strDir, pszName), content);
}

BOOL fRegQueryValue(RegKey hKey, const char* pszName, uint32_t* pType, void* pData, uint32_t& uSize) {
  if (fIsRoot(hKey) || hKey == 0) return FALSE;
  const OpenKey* key = reinterpret_cast<const OpenKey*>(hKey);
  if ((key->uAccess & 0x0001) == 0) return FALSE;
  std::string content;
  BOOL bExists = FALSE;
  if (!fReadWholeFile(strValueFile(key->strDir, pszName), content, bExists) || !bExists || content.size() < 4) {
    return FALSE;
  }
  uint32_t type = 0;
  for (int i = 0; i < 4; ++i) type |= static_cast<uint32_t>(static_cast<unsigned char>(content[i])) << (8 * i);
  if (pType != nullptr) *pType = type;
  uint32_t size = static_cast<uint32_t>(content.size() - 4);
  uint32_t room = uSize;
  uSize = size;
  if (pData == nullptr) return TRUE;
  if (room < size) return FALSE;
  std::memcpy(pData, content.data() + 4, size);
  return TRUE;
}

BOOL fRegDeleteKey(RegKey hKey, const char* pszSubKey) {
  std::string parent = strDirOf(hKey);
  std::vector<std::string> parts = components(pszSubKey);
  if (parent.empty() || parts.empty()) return FALSE;
  std::string dir = parent;
  for (const std::string& name : parts) {
    parent = dir;
    std::string entry = strFindEntry(dir, strEncode(name), TRUE);
    if (entry.empty()) return FALSE;
    dir += "/" + entry;
  }
  if (!fMayWrite(parent) || !fMayOpen(dir, kReadAccess | kWriteAccess)) return FALSE;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return FALSE;
  std::vector<std::string> files;
  BOOL hasSubkeys = FALSE;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (fIsDir(dir + "/" + name)) hasSubkeys = TRUE;
    files.push_back(name);
  }
  closedir(d);
  if (hasSubkeys) return FALSE;
  for (const std::string& name : files) unlink((dir + "/" + name).c_str());
  return rmdir(dir.c_str()) == 0 ? TRUE : FALSE;
}

BOOL fRegFlushKey(RegKey hKey) {
  std::string dir = strDirOf(hKey);
  int fd = dir.empty() ? -1 : open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return FALSE;
  BOOL ok = fsync(fd) == 0 ? TRUE : FALSE;
  close(fd);
  return ok;
}

void vRegCloseKey(RegKey hKey) {
  if (fIsRoot(hKey) || hKey == 0) return;
  delete reinterpret_cast<OpenKey*>(hKey);
}

}  // namespace platform
