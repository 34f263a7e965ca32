// Win32 private profile files: GetPrivateProfileStringA and WritePrivateProfileStringA.
#include "platform/profile.h"

#include <windows.h>

namespace platform {

unsigned int uGetPrivateProfileString(const char* pszSection, const char* pszKey, const char* pszDefault, char* buf,
                                      unsigned int size, const char* pszFile) {
  if (buf == nullptr || size == 0) return 0;
  return GetPrivateProfileStringA(pszSection, pszKey, pszDefault, buf, size, pszFile);
}

BOOL fWritePrivateProfileString(const char* pszSection, const char* pszKey, const char* pszValue, const char* pszFile) {
  return WritePrivateProfileStringA(pszSection, pszKey, pszValue, pszFile) ? TRUE : FALSE;
}

}  // namespace platform
