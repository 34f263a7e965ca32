// Win32 module path and folders: GetModuleFileNameA, the Windows and system directories, the
// Explorer "Shell Folders" values and GetTempFileNameA.
#include "platform/module_path.h"

#include <windows.h>
#include <vector>

namespace platform {

unsigned int uGetModuleFileName(char* buf, unsigned int size) {
  if (buf == nullptr || size == 0) return 0;
  unsigned int len = GetModuleFileNameA(nullptr, buf, size);
  // Older systems (and Wine) leave a cut name unterminated.
  if (len >= size) buf[size - 1] = '\0';
  return len;
}

unsigned int uGetWindowsDirectory(char* buf, unsigned int size) { return GetWindowsDirectoryA(buf, size); }

unsigned int uGetSystemDirectory(char* buf, unsigned int size) { return GetSystemDirectoryA(buf, size); }

BOOL fGetShellFolder(const char* pszName, std::string& strFolder) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                    KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return FALSE;
  }
  std::vector<char> value(32767, '\0');
  DWORD size = static_cast<DWORD>(value.size() - 1);
  LONG rc = RegQueryValueExA(key, pszName, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return FALSE;
  strFolder = value.data();
  return TRUE;
}

BOOL fCreateTempFile(const char* pszPrefix, std::string& strPath) {
  char dir[MAX_PATH + 1] = {};
  char name[MAX_PATH + 1] = {};
  if (GetTempPathA(sizeof dir, dir) == 0) return FALSE;
  if (GetTempFileNameA(dir, pszPrefix, 0, name) == 0) return FALSE;
  strPath = name;
  return TRUE;
}

}  // namespace platform
