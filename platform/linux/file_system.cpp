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

// Like FindFirstFileA, a path that ends in a separator (the root included) names no entry.
BOOL fFindEntryName(const char* pszPath, std::string& strName) {
  struct stat st {};
  if (pszPath == nullptr || *pszPath == '\0' || lstat(pszPath, &st) != 0) return FALSE;
  std::string path(pszPath);
  if (path.back() == '/') return FALSE;
  std::string::size_type slash = path.find_last_of('/');
  strName = slash == std::string::npos ? path : path.substr(slash + 1);
  return TRUE;
}

BOOL fDeleteFile(const char* pszPath) { return unlink(pszPath) == 0 ? TRUE : FALSE; }

}  // namespace platform
