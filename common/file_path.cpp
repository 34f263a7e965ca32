// CFilePath: splitting of narrow paths and the well-known locations of the machine.
#include "common/file_path.h"

#include <new>
#include <vector>

#include "platform/file_system.h"
#include "platform/module_path.h"

namespace {

struct Parts {
  std::string drive, dir, fname, ext;
};

// The C library's splitting rule, stepping over two-byte characters.
Parts split(const std::string& path) {
  Parts parts;
  std::string::size_type start = 0;
  if (path.size() >= 2 && path[1] == ':' && !platform::fIsLeadByte(static_cast<unsigned char>(path[0]))) {
    parts.drive = path.substr(0, 2);
    start = 2;
  }
  std::string::size_type lastSep = std::string::npos, lastDot = std::string::npos;
  for (std::string::size_type i = start; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (platform::fIsLeadByte(c) && i + 1 < path.size()) {
      ++i;
    } else if (c == '\\' || c == '/') {
      lastSep = i;
      lastDot = std::string::npos;
    } else if (c == '.') {
      lastDot = i;
    }
  }
  std::string::size_type nameStart = start;
  if (lastSep != std::string::npos) {
    parts.dir = path.substr(start, lastSep + 1 - start);
    nameStart = lastSep + 1;
  }
  if (lastDot != std::string::npos) {
    parts.fname = path.substr(nameStart, lastDot - nameStart);
    parts.ext = path.substr(lastDot);
  } else {
    parts.fname = path.substr(nameStart);
  }
  // Parts longer than 255 bytes are kept whole: a cut directory would name another place, and
  // a program folder deeper than that is legal on both platforms.
  return parts;
}

// True when the text ends with the single-byte character c (not the second byte of a
// two-byte character).
BOOL fEndsWithChar(const std::string& text, char c) {
  if (text.empty() || text.back() != c) return FALSE;
  for (std::string::size_type i = 0; i < text.size(); ++i) {
    if (platform::fIsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      if (++i == text.size() - 1) return FALSE;
    }
  }
  return TRUE;
}

std::string strWithSeparator(const std::string& dir) {
  if (fEndsWithChar(dir, platform::cPathSeparator())) return dir;
  return dir + platform::cPathSeparator();
}

}  // namespace

CFilePath::CFilePath(int iKind) {
  switch (iKind) {
    case FP_MODULE_FILE: vSetModule(FALSE); break;
    case FP_MODULE_DIR: vSetModule(TRUE); break;
    case FP_WINDOWS_DIR: vSetSystemFolder(FALSE); break;
    case FP_SYSTEM_DIR: vSetSystemFolder(TRUE); break;
    case FP_DESKTOP: vReadShellFolder("Desktop"); break;
    case FP_FAVORITES: vReadShellFolder("Favorites"); break;
    case FP_TEMP_DIR: vSetTemp(TRUE); break;
    case FP_TEMP_FILE: vSetTemp(FALSE); break;
    default: break;
  }
}

CFilePath::CFilePath(const std::string& strPath) { vSetPath(strPath); }

CFilePath::~CFilePath() = default;

void CFilePath::vSetPath(const std::string& strPath) {
  m_strDrive.clear();
  m_strDir.clear();
  m_strFName.clear();
  m_strExt.clear();
  std::string path = strPath;
  if (!path.empty() && path.front() == '"') path.erase(0, 1);
  if (!path.empty() && path.back() == '"') path.pop_back();
  if (path.empty()) return;
  Parts parts = split(path);
  m_strDrive = parts.drive;
  m_strDir = parts.dir;
  m_strFName = parts.fname;
  m_strExt = parts.ext;
}

void CFilePath::vSetDriveDir(const std::string& strPath) {
  Parts parts = split(strPath);
  m_strDrive = parts.drive;
  m_strDir = parts.dir;
}

void CFilePath::vSetFileName(const std::string& strName) {
  Parts parts = split(strName);
  m_strFName = parts.fname;
  m_strExt = parts.ext;
}

std::string CFilePath::strGetFullPath() const { return m_strDrive + m_strDir + m_strFName + m_strExt; }

std::string CFilePath::strGetDir() const {
  std::string dir = m_strDrive + m_strDir;
  // The directory part always ends in a real separator, never in the second byte of a character.
  if (!dir.empty() && (dir.back() == '\\' || dir.back() == platform::cPathSeparator())) dir.pop_back();
  return dir;
}

std::string CFilePath::strGetFileName() const { return m_strFName + m_strExt; }

BOOL CFilePath::fIsExist() const { return platform::fIsRegularFile(strGetFullPath().c_str()); }

BOOL CFilePath::fGetLongPath(const std::string& strPath, std::string& strLong) {
  strLong.clear();
  std::string working = strPath;
  std::string name;
  if (!platform::fFindEntryName(working.c_str(), name)) return FALSE;
  const char sep = platform::cPathSeparator();
  for (;;) {
    // The last separator, stepping over two-byte characters.
    std::string::size_type last = std::string::npos;
    for (std::string::size_type i = 0; i < working.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(working[i]);
      if (platform::fIsLeadByte(c) && i + 1 < working.size()) {
        ++i;
      } else if (c == static_cast<unsigned char>(sep)) {
        last = i;
      }
    }
    if (working.empty() || last == std::string::npos) break;
    strLong = strLong.empty() ? name : name + sep + strLong;
    working.resize(last);
    // A parent that cannot be searched (a drive, the root) keeps its text as it stands.
    if (!platform::fFindEntryName(working.c_str(), name)) name = working.substr(working.find_last_of(sep) + 1);
  }
  // A path without a separator is one name: it gets no separator of its own at the end.
  strLong = strLong.empty() ? working : working + sep + strLong;
  return TRUE;
}

void CFilePath::vSetModule(BOOL bDirOnly) {
  for (unsigned int size = 260;; size *= 2) {
    std::vector<char> buffer;
    try {
      buffer.resize(size);
    } catch (const std::bad_alloc&) {
      return;
    }
    unsigned int len = platform::uGetModuleFileName(buffer.data(), size);
    if (len == 0) return;
    if (len < size - 1) {
      vSetPath(std::string(buffer.data(), len));
      break;
    }
  }
  if (bDirOnly) {
    m_strFName.clear();
    m_strExt.clear();
  }
}

void CFilePath::vSetSystemFolder(BOOL bSystem) {
  std::vector<char> buffer(32767, '\0');
  unsigned int len = bSystem ? platform::uGetSystemDirectory(buffer.data(), 32767)
                             : platform::uGetWindowsDirectory(buffer.data(), 32767);
  if (len == 0 || len >= 32767) return;
  vSetPath(strWithSeparator(std::string(buffer.data(), len)));
}

void CFilePath::vReadShellFolder(const char* pszName) {
  std::string folder;
  if (!platform::fGetShellFolder(pszName, folder)) return;
  vSetPath(strWithSeparator(folder));
}

void CFilePath::vSetTemp(BOOL bDirOnly) {
  std::string file;
  if (!platform::fCreateTempFile("~", file)) return;
  std::string longPath;
  if (fGetLongPath(file, longPath)) file = longPath;
  if (bDirOnly) {
    vSetDriveDir(file);
  } else {
    vSetPath(file);
  }
}
