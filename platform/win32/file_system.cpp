// Win32 file system: attributes, FindFirstFileA, DeleteFileA and the ANSI code page's lead bytes.
#include "platform/file_system.h"

#include <windows.h>

namespace platform {

char cPathSeparator() { return '\\'; }

BOOL fIsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) ? TRUE : FALSE; }

BOOL fIsRegularFile(const char* pszPath) {
  DWORD attributes = GetFileAttributesA(pszPath);
  if (attributes == INVALID_FILE_ATTRIBUTES) return FALSE;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? TRUE : FALSE;
}

BOOL fFindEntryName(const char* pszPath, std::string& strName) {
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA(pszPath, &data);
  if (h == INVALID_HANDLE_VALUE) return FALSE;
  FindClose(h);
  strName = data.cFileName;
  return TRUE;
}

BOOL fDeleteFile(const char* pszPath) { return DeleteFileA(pszPath) ? TRUE : FALSE; }

std::FILE* pOpenFile(const char* pszPath, const char* pszMode) {
  if (pszPath == nullptr || pszMode == nullptr) return nullptr;
  return std::fopen(pszPath, pszMode);
}

}  // namespace platform
