// A file-system path split into drive, directory, file name and extension.
#pragma once

#include <string>

#include "platform/types.h"

enum {
  FP_MODULE_FILE = 1,  // the running program file
  FP_MODULE_DIR = 2,   // the running program's directory
  FP_WINDOWS_DIR = 3,
  FP_SYSTEM_DIR = 4,
  FP_DESKTOP = 5,
  FP_FAVORITES = 6,
  FP_TEMP_DIR = 7,   // directory of a new temporary file
  FP_TEMP_FILE = 8,  // a new temporary file
};

// Splitting follows the C library's rule: a drive when the second byte is a colon; the directory
// up to and including the last '\\' or '/'; the extension from the last dot after it. Separators
// and dots never count as the second byte of a two-byte character. The drive holds at most 2
// bytes; the other parts are kept whole, however long.
class CFilePath {
 public:
  explicit CFilePath(int iKind = FP_MODULE_DIR);
  explicit CFilePath(const std::string& strPath);
  virtual ~CFilePath();

  // Replaces all four parts; one double quote at each end is removed first.
  void vSetPath(const std::string& strPath);
  // Replaces drive and directory from the text's; file name and extension stay.
  void vSetDriveDir(const std::string& strPath);
  // Replaces file name and extension from the text's; drive and directory stay.
  void vSetFileName(const std::string& strName);

  std::string strGetFullPath() const;
  // Drive and directory without one final backslash or platform separator ("C:\\" gives "C:");
  // on Windows a final slash stays.
  std::string strGetDir() const;
  std::string strGetFileName() const;
  // True when the full path names an existing regular file.
  BOOL fIsExist() const;
  // The long form of a path (every component as stored in its directory).
  static BOOL fGetLongPath(const std::string& strPath, std::string& strLong);

  std::string m_strDrive;
  std::string m_strDir;
  std::string m_strFName;
  std::string m_strExt;

 private:
  void vSetModule(BOOL bDirOnly);
  void vSetSystemFolder(BOOL bSystem);
  void vReadShellFolder(const char* pszName);
  void vSetTemp(BOOL bDirOnly);
};
