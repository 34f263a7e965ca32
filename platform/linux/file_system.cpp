// Linux file system: stat, the last path component as the stored name, unlink, opening without
// following a link; UTF-8 has no lead bytes that could hide a separator.
#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

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

std::FILE* pOpenFile(const char* pszPath, const char* pszMode) {
  if (pszPath == nullptr || pszMode == nullptr) return nullptr;
  int iFlags = 0;
  switch (pszMode[0]) {
    case 'r': iFlags = O_RDONLY; break;
    case 'w': iFlags = O_WRONLY | O_CREAT | O_TRUNC; break;
    case 'a': iFlags = O_WRONLY | O_CREAT | O_APPEND; break;
    default: return nullptr;
  }
  if (std::strchr(pszMode, '+') != nullptr) iFlags = (iFlags & ~(O_RDONLY | O_WRONLY)) | O_RDWR;
  int fd = open(pszPath, iFlags | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* fp = fdopen(fd, pszMode);
  if (fp == nullptr) close(fd);
  return fp;
}

}  // namespace platform
