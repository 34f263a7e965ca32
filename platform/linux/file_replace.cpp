// Linux whole-file reads and atomic replacement through a temporary file and rename.
#include "platform/linux/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>

namespace platform {

BOOL fReadWholeFile(const std::string& strPath, std::string& strText, BOOL& bExists) {
  strText.clear();
  bExists = FALSE;
  int fd = open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? TRUE : FALSE;
  bExists = TRUE;
  struct stat st {};
  BOOL ok = (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) ? TRUE : FALSE;
  try {
    char chunk[65536];
    ssize_t n;
    while (ok && (n = read(fd, chunk, sizeof chunk)) != 0) {
      if (n < 0) {
        if (errno != EINTR) ok = FALSE;
        continue;
      }
      strText.append(chunk, static_cast<size_t>(n));
    }
  } catch (const std::bad_alloc&) {
    ok = FALSE;
  }
  close(fd);
  if (!ok) strText.clear();
  return ok;
}

static BOOL fMay(const std::string& strPath, int iAccess, mode_t bits) {
  struct stat st {};
  if (stat(strPath.c_str(), &st) != 0) return FALSE;
  if ((st.st_mode & bits) == 0) return FALSE;
  return access(strPath.c_str(), iAccess) == 0 ? TRUE : FALSE;
}

BOOL fMayWrite(const std::string& strPath) { return fMay(strPath, W_OK, S_IWUSR | S_IWGRP | S_IWOTH); }

BOOL fMayRead(const std::string& strPath) { return fMay(strPath, R_OK, S_IRUSR | S_IRGRP | S_IROTH); }

std::string strParentDir(const std::string& strPath) {
  std::string::size_type slash = strPath.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return strPath.substr(0, slash);
}

static BOOL fWriteAll(int fd, const std::string& strText) {
  const char* p = strText.data();
  size_t left = strText.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FALSE;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return TRUE;
}

// Creates a file of a fresh name strPrefix + six letters with the mode (less the umask), as
// mkstemp does but with the mode asked for.
static int iCreateTemporary(const std::string& strPrefix, mode_t mode, std::string& strName) {
  static const char s_szLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  static std::atomic<uint64_t> s_uCount{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    struct timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t seed = (static_cast<uint64_t>(now.tv_nsec) << 20) ^ (static_cast<uint64_t>(getpid()) << 40) ^
                    (s_uCount.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    strName = strPrefix;
    for (int i = 0; i < 6; ++i, seed /= 62) strName += s_szLetters[seed % 62];
    int fd = open(strName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

BOOL fReplaceFile(const std::string& strLinkOrPath, const std::string& strText) {
  // A symbolic link stays a link: the file it names is the one replaced.
  std::string strPath = strLinkOrPath;
  struct stat link {};
  if (lstat(strLinkOrPath.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    char* real = realpath(strLinkOrPath.c_str(), nullptr);
    if (real == nullptr) return FALSE;  // a link to nothing
    strPath = real;
    free(real);
  }
  std::string dir = strParentDir(strPath);
  if (!fMayWrite(dir)) return FALSE;
  struct stat old {};
  BOOL bExists = (stat(strPath.c_str(), &old) == 0) ? TRUE : FALSE;
  if (bExists && (!S_ISREG(old.st_mode) || !fMayWrite(strPath))) return FALSE;

  std::string name = strPath.substr(strPath.find_last_of('/') + 1);
  // A new file is created with 0666 and the kernel applies the umask (and a default ACL) itself:
  // reading the umask would mean changing it, under the feet of threads creating files.
  std::string tmp;
  int fd = iCreateTemporary(dir + "/." + name + ".", bExists ? 0600 : 0666, tmp);
  if (fd < 0) return FALSE;
  BOOL ok = fWriteAll(fd, strText);
  if (bExists) {
    if (ok && fchmod(fd, old.st_mode & 07777) != 0) ok = FALSE;
    if (ok && (old.st_uid != geteuid() || old.st_gid != getegid())) {
      if (fchown(fd, old.st_uid, old.st_gid) != 0) { /* keeps our owner: still readable */
      }
    }
  }
  if (ok && fsync(fd) != 0) ok = FALSE;
  if (close(fd) != 0) ok = FALSE;
  if (ok && rename(tmp.c_str(), strPath.c_str()) != 0) ok = FALSE;
  if (!ok) {
    unlink(tmp.c_str());
    return FALSE;
  }
  int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return TRUE;
}

}  // namespace platform
