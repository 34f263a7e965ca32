// Linux file system: stat, the last path component as the stored name, unlink; UTF-8 has no
// lead bytes that could hide a separator.
#include "platform/file_system.h"

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

char cPathSeparator() { return '/'; }

BOOL fIsLeadByte(unsigned char) { return FALSE; }

BOOL fIsRegularFile(const char* pszPath) {
  struct stat st {};
  if (pszPath == nullptr || stat(pszPath, &st) != 0) return FALSE;
  return S_ISREG(st.st_mode) ? TRUE : FALSE;
}

BOOL fFindEntryName(const char* pszPath, std::string& strName) {
  struct stat st {};
  if (pszPath == nullptr || *pszPath == '\0' || lstat(pszPath, &st) != 0) return FALSE;
  std::string path(pszPath);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  std::string::size_type slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    strName = path;
  } else if (slash + 1 < path.size()) {
    strName.assign(path, slash + 1, std::string::npos);
  } else {
    strName = "/";
  }
  return TRUE;
}

BOOL fDeleteFile(const char* pszPath) { return unlink(pszPath) == 0 ? TRUE : FALSE; }

}  // namespace platform
