// Linux named events: one small file per event in the shared folder /tmp/.tarvenix-events, the
// holders marked by open-file-description locks, the state read and written under a guard lock.
// The design and its reasons are in docs/ARCHITECTURE.md ("Named events on Linux").
#include "platform/named_event.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <new>

#include "platform/clock.h"

namespace platform {

namespace {

const char EVENT_DIR[] = "/tmp/.tarvenix-events";
const char EVENT_MAGIC[8] = {'T', 'X', 'E', 'V', 'E', 'N', 'T', '1'};

// The whole content of an event file.
struct EventFile {
  char magic[8];
  uint32_t uSignalled;  // 0 or 1
  uint32_t uReserved;
  uint64_t ullSets;  // how often the event was set; for people inspecting the folder
};

// Lock bytes beyond the content: a write lock on GUARD_BYTE serialises every read and change of
// the file; each live handle keeps a read lock on HOLD_BYTE.
const off_t GUARD_BYTE = 4096;
const off_t HOLD_BYTE = 4097;
// A guard lock held longer than this by anyone is taken as a foreign file: the call fails.
const uint32_t GUARD_LIMIT_MS = 2000;
// Encoded file names are kept well inside NAME_MAX.
const size_t NAME_LIMIT = 200;
// Retries when the file vanished or was replaced between the look-up and the lock.
const int OPEN_ATTEMPTS = 50;

struct EventHandle {
  int iDirFd = -1;
  int iFd = -1;
  std::string strFile;
};

// Letters, digits, '_' and '-' stand for themselves, any other byte as %XX, so no name can reach
// outside the folder or collide with "." and "..".
BOOL fEncodeName(const std::string& strName, std::string& strFile) {
  static const char hex[] = "0123456789ABCDEF";
  if (strName.empty()) return FALSE;
  strFile.clear();
  for (unsigned char c : strName) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-') {
      strFile += static_cast<char>(c);
    } else {
      strFile += '%';
      strFile += hex[c >> 4];
      strFile += hex[c & 15];
    }
    if (strFile.size() > NAME_LIMIT) return FALSE;
  }
  return TRUE;
}

// The event folder, made on first use: sticky and writable by every account, like /tmp itself.
// A symbolic link or a non-directory in its place gives -1.
int iOpenEventDir() {
  if (mkdir(EVENT_DIR, 01777) != 0 && errno != EEXIST) return -1;
  int fd = open(EVENT_DIR, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode)) {
    close(fd);
    return -1;
  }
  // mkdir is cut by the umask; the owner puts the mode right.
  if (st.st_uid == geteuid() && (st.st_mode & 07777) != 01777) fchmod(fd, 01777);
  return fd;
}

BOOL fLockByte(int fd, off_t off, short type) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = off;
  fl.l_len = 1;
  return fcntl(fd, F_OFD_SETLK, &fl) == 0 ? TRUE : FALSE;
}

// Takes the guard, waiting in 1 ms steps up to GUARD_LIMIT_MS.
BOOL fTakeGuard(int fd) {
  uint32_t uStart = uGetTickMs();
  for (;;) {
    if (fLockByte(fd, GUARD_BYTE, F_WRLCK)) return TRUE;
    if (errno != EAGAIN && errno != EACCES) return FALSE;
    if (uGetTickMs() - uStart >= GUARD_LIMIT_MS) return FALSE;
    vSleepMs(1);
  }
}

void vDropGuard(int fd) { fLockByte(fd, GUARD_BYTE, F_UNLCK); }

// True when another open file description (in any live process) holds the event.
BOOL fHeldByOthers(int fd) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = HOLD_BYTE;
  fl.l_len = 1;
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return TRUE;  // cannot tell: never reinitialise then
  return fl.l_type != F_UNLCK ? TRUE : FALSE;
}

BOOL fReadState(int fd, EventFile& file) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || st.st_size != static_cast<off_t>(sizeof file)) return FALSE;
  if (pread(fd, &file, sizeof file, 0) != static_cast<ssize_t>(sizeof file)) return FALSE;
  if (std::memcmp(file.magic, EVENT_MAGIC, sizeof file.magic) != 0) return FALSE;
  return file.uSignalled <= 1 ? TRUE : FALSE;
}

BOOL fWriteState(int fd, const EventFile& file) {
  return pwrite(fd, &file, sizeof file, 0) == static_cast<ssize_t>(sizeof file) ? TRUE : FALSE;
}

BOOL fSameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Opens (and with bCreate makes) the event file, checks it under the guard and takes the hold.
// Returns the descriptor, or -1.
int iOpenEventFile(int iDirFd, const std::string& strFile, BOOL bCreate) {
  for (int i = 0; i < OPEN_ATTEMPTS; i++) {
    struct stat st {};
    int fd = -1;
    if (fstatat(iDirFd, strFile.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
      if (!S_ISREG(st.st_mode)) return -1;  // a link, folder, pipe or device: not an event
      fd = openat(iDirFd, strFile.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
      if (fd < 0) {
        if (errno == ENOENT) continue;
        return -1;
      }
    } else {
      if (errno != ENOENT || !bCreate) return -1;
      fd = openat(iDirFd, strFile.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
      if (fd < 0) {
        if (errno == EEXIST) continue;
        return -1;
      }
      fchmod(fd, 0666);  // the umask would keep other accounts out
    }

    struct stat own {};
    if (fstat(fd, &own) != 0 || !S_ISREG(own.st_mode) || own.st_nlink > 1 || !fTakeGuard(fd)) {
      close(fd);
      return -1;
    }
    // The last holder may have removed the file after we opened it: start again on the new one.
    struct stat now {};
    if (fstat(fd, &own) != 0 || own.st_nlink == 0 || fstatat(iDirFd, strFile.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
        !fSameFile(own, now)) {
      vDropGuard(fd);
      close(fd);
      continue;
    }

    EventFile file{};
    BOOL bValid = fReadState(fd, file);
    BOOL bOk;
    if (fHeldByOthers(fd)) {
      bOk = bValid;  // a live event; a foreign file under its name is refused
    } else if (!bCreate) {
      bOk = FALSE;  // left behind by holders that are gone: no such event
    } else if (bValid || own.st_size == 0) {
      std::memcpy(file.magic, EVENT_MAGIC, sizeof file.magic);
      file.uSignalled = 0;
      file.uReserved = 0;
      file.ullSets = 0;
      bOk = ftruncate(fd, 0) == 0 && fWriteState(fd, file);
      if (own.st_uid == geteuid()) fchmod(fd, 0666);
    } else {
      bOk = FALSE;  // foreign content nobody holds: not ours to overwrite
    }
    if (bOk) bOk = fLockByte(fd, HOLD_BYTE, F_RDLCK);
    vDropGuard(fd);
    if (!bOk) {
      close(fd);
      return -1;
    }
    return fd;
  }
  return -1;
}

BOOL fOpenHandle(const std::string& strName, BOOL bCreate, void*& pImpl) {
  std::string strFile;
  if (!fEncodeName(strName, strFile)) return FALSE;
  int iDirFd = iOpenEventDir();
  if (iDirFd < 0) return FALSE;
  int fd = iOpenEventFile(iDirFd, strFile, bCreate);
  if (fd < 0) {
    close(iDirFd);
    return FALSE;
  }
  EventHandle* pHandle = new (std::nothrow) EventHandle;
  if (pHandle == nullptr) {
    close(fd);
    close(iDirFd);
    return FALSE;
  }
  pHandle->iDirFd = iDirFd;
  pHandle->iFd = fd;
  pHandle->strFile = strFile;
  pImpl = pHandle;
  return TRUE;
}

// Changes the state under the guard: 1 set, 0 reset.
BOOL fChangeState(void* pImpl, uint32_t uSignalled) {
  if (pImpl == nullptr) return FALSE;
  int fd = static_cast<EventHandle*>(pImpl)->iFd;
  if (!fTakeGuard(fd)) return FALSE;
  EventFile file{};
  BOOL bOk = fReadState(fd, file);
  if (bOk) {
    file.uSignalled = uSignalled;
    if (uSignalled != 0) file.ullSets++;
    bOk = fWriteState(fd, file);
  }
  vDropGuard(fd);
  return bOk;
}

}  // namespace

CNamedEvent::CNamedEvent() : m_pImpl(nullptr) {}

CNamedEvent::~CNamedEvent() { vClose(); }

BOOL CNamedEvent::fCreate(const std::string& strName) {
  vClose();
  return fOpenHandle(strName, TRUE, m_pImpl);
}

BOOL CNamedEvent::fOpen(const std::string& strName) {
  vClose();
  return fOpenHandle(strName, FALSE, m_pImpl);
}

BOOL CNamedEvent::fSet() { return fChangeState(m_pImpl, 1); }

BOOL CNamedEvent::fReset() { return fChangeState(m_pImpl, 0); }

int CNamedEvent::iWait(uint32_t uMillis) {
  if (m_pImpl == nullptr) return WAIT_RESULT_FAILED;
  int fd = static_cast<EventHandle*>(m_pImpl)->iFd;
  uint32_t uStart = uGetTickMs();
  for (;;) {
    if (!fTakeGuard(fd)) return WAIT_RESULT_FAILED;
    EventFile file{};
    if (!fReadState(fd, file)) {
      vDropGuard(fd);
      return WAIT_RESULT_FAILED;
    }
    if (file.uSignalled != 0) {
      file.uSignalled = 0;
      BOOL bOk = fWriteState(fd, file);
      vDropGuard(fd);
      return bOk ? WAIT_RESULT_SIGNALLED : WAIT_RESULT_FAILED;
    }
    vDropGuard(fd);
    if (uGetTickMs() - uStart >= uMillis) return WAIT_RESULT_TIMEOUT;
    vSleepMs(1);
  }
}

void CNamedEvent::vClose() {
  if (m_pImpl == nullptr) return;
  EventHandle* pHandle = static_cast<EventHandle*>(m_pImpl);
  m_pImpl = nullptr;
  // The last holder removes the file, under the guard, so that an opener racing with us sees the
  // file gone and starts again. When the guard is busy the file stays; a stale file is harmless.
  fLockByte(pHandle->iFd, HOLD_BYTE, F_UNLCK);
  if (fLockByte(pHandle->iFd, GUARD_BYTE, F_WRLCK)) {
    struct stat own {};
    struct stat now {};
    if (!fHeldByOthers(pHandle->iFd) && fstat(pHandle->iFd, &own) == 0 &&
        fstatat(pHandle->iDirFd, pHandle->strFile.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && fSameFile(own, now)) {
      unlinkat(pHandle->iDirFd, pHandle->strFile.c_str(), 0);
    }
    vDropGuard(pHandle->iFd);
  }
  close(pHandle->iFd);
  close(pHandle->iDirFd);
  delete pHandle;
}

}  // namespace platform
