// Win32 registry: the advapi32 Reg*A calls.
#include "platform/registry.h"

#include <windows.h>

namespace platform {

static HKEY hKeyOf(RegKey key) {
  if (key >= REGKEY_CLASSES_ROOT && key <= REGKEY_USERS) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(static_cast<uint32_t>(key))));
  }
  return reinterpret_cast<HKEY>(key);
}

BOOL fRegOpenKey(RegKey hRoot, const char* pszPath, uint32_t uAccess, RegKey& hKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(hKeyOf(hRoot), pszPath, 0, uAccess, &key) != ERROR_SUCCESS) return FALSE;
  hKey = reinterpret_cast<RegKey>(key);
  return TRUE;
}

BOOL fRegCreateKey(RegKey hRoot, const char* pszPath, const char* pszClass, uint32_t uAccess, RegKey& hKey) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(hKeyOf(hRoot), pszPath, 0, const_cast<char*>(pszClass), REG_OPTION_NON_VOLATILE, uAccess, nullptr,
                      &key, &disposition) != ERROR_SUCCESS) {
    return FALSE;
  }
  hKey = reinterpret_cast<RegKey>(key);
  return TRUE;
}

BOOL fRegSetValue(RegKey hKey, const char* pszName, uint32_t uType, const void* pData, uint32_t uSize) {
  return RegSetValueExA(hKeyOf(hKey), pszName, 0, uType, static_cast<const BYTE*>(pData), uSize) == ERROR_SUCCESS
             ? TRUE
             : FALSE;
}

BOOL fRegQueryValue(RegKey hKey, const char* pszName, uint32_t* pType, void* pData, uint32_t& uSize) {
  DWORD type = 0;
  DWORD size = uSize;
  LONG rc = RegQueryValueExA(hKeyOf(hKey), pszName, nullptr, &type, static_cast<BYTE*>(pData), &size);
  uSize = size;
  if (pType != nullptr) *pType = type;
  return rc == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL fRegDeleteKey(RegKey hKey, const char* pszSubKey) {
  return RegDeleteKeyA(hKeyOf(hKey), pszSubKey) == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL fRegFlushKey(RegKey hKey) { return RegFlushKey(hKeyOf(hKey)) == ERROR_SUCCESS ? TRUE : FALSE; }

void vRegCloseKey(RegKey hKey) {
  if (hKey >= REGKEY_CLASSES_ROOT && hKey <= REGKEY_USERS) return;
  RegCloseKey(hKeyOf(hKey));
}

}  // namespace platform
