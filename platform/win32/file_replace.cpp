// Win32 atomic file replacement: a temporary file beside the target, flushed, and MoveFileEx over it.
#include "platform/file_replace.h"

#include <windows.h>

namespace platform {

namespace {

const int kRenameTries = 10;
const DWORD kRenamePauseMs = 20;

std::string strFolderOf(const std::string& strPath) {
  std::string::size_type uSeparator = strPath.find_last_of("\\/");
  if (uSeparator == std::string::npos) return ".";
  if (uSeparator == 0 || (uSeparator == 2 && strPath[1] == ':')) return strPath.substr(0, uSeparator + 1);
  return strPath.substr(0, uSeparator);
}

BOOL fWriteTemporary(const char* pszTemporary, const std::string& strBytes) {
  HANDLE hFile = CreateFileA(pszTemporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return FALSE;
  BOOL bOk = TRUE;
  const char* p = strBytes.data();
  size_t uLeft = strBytes.size();
  while (bOk && uLeft > 0) {
    DWORD uChunk = uLeft > 0x10000000 ? 0x10000000 : static_cast<DWORD>(uLeft);
    DWORD uWritten = 0;
    if (!WriteFile(hFile, p, uChunk, &uWritten, nullptr) || uWritten == 0) bOk = FALSE;
    p += uWritten;
    uLeft -= uWritten;
  }
  if (bOk && !FlushFileBuffers(hFile)) bOk = FALSE;
  if (!CloseHandle(hFile)) bOk = FALSE;
  return bOk;
}

}  // namespace

BOOL fReplaceFile(const std::string& strPath, const std::string& strBytes) {
  DWORD uAttributes = GetFileAttributesA(strPath.c_str());
  if (uAttributes != INVALID_FILE_ATTRIBUTES &&
      (uAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
    return FALSE;
  char szTemporary[MAX_PATH] = {};
  // A unique name in the target's folder, so that the rename stays on one volume.
  if (GetTempFileNameA(strFolderOf(strPath).c_str(), "~tx", 0, szTemporary) == 0) return FALSE;
  if (!fWriteTemporary(szTemporary, strBytes)) {
    DeleteFileA(szTemporary);
    return FALSE;
  }
  for (int i = 0; i < kRenameTries; ++i) {
    if (MoveFileExA(szTemporary, strPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return TRUE;
    DWORD uError = GetLastError();
    if (uError != ERROR_ACCESS_DENIED && uError != ERROR_SHARING_VIOLATION) break;
    Sleep(kRenamePauseMs);
  }
  DeleteFileA(szTemporary);
  return FALSE;
}

}  // namespace platform
