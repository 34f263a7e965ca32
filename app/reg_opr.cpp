// CRegOpr: each operation is one open, act, flush and close on the platform's registry.
#include "app/reg_opr.h"

#include <new>
#include <vector>

using platform::RegKey;

CRegOpr::CRegOpr() {}

CRegOpr::~CRegOpr() {}

BOOL CRegOpr::fReadDword(uint32_t& uValue, const char* pszName, RegKey hRoot, const char* pszPath) {
  RegKey key = 0;
  if (!platform::fRegOpenKey(hRoot, pszPath, platform::REGACCESS_QUERY_VALUE, key)) return FALSE;
  uint32_t value = 0;
  uint32_t size = sizeof value;
  BOOL ok = platform::fRegQueryValue(key, pszName, nullptr, &value, size);
  platform::vRegCloseKey(key);
  if (!ok || size != sizeof value) return FALSE;
  uValue = value;
  return TRUE;
}

BOOL CRegOpr::fReadBinary(void* pData, const char* pszName, uint32_t& uSize, RegKey hRoot, const char* pszPath) {
  RegKey key = 0;
  if (!platform::fRegOpenKey(hRoot, pszPath, platform::REGACCESS_QUERY_VALUE, key)) return FALSE;
  uint32_t needed = 0;
  BOOL ok = platform::fRegQueryValue(key, pszName, nullptr, nullptr, needed);
  if (ok && needed > uSize) {
    uSize = needed;
    ok = FALSE;
  } else if (ok) {
    uSize = needed;
    ok = platform::fRegQueryValue(key, pszName, nullptr, pData, uSize);
  }
  platform::vRegCloseKey(key);
  return ok;
}

BOOL CRegOpr::fReadString(std::string& strValue, const char* pszName, RegKey hRoot, const char* pszPath) {
  RegKey key = 0;
  if (!platform::fRegOpenKey(hRoot, pszPath, platform::REGACCESS_QUERY_VALUE, key)) return FALSE;
  uint32_t size = 0;
  BOOL ok = platform::fRegQueryValue(key, pszName, nullptr, nullptr, size);
  if (ok) {
    std::vector<char> buf;
    try {
      buf.assign(static_cast<size_t>(size) + 1, '\0');
    } catch (const std::bad_alloc&) {
      ok = FALSE;
    }
    if (ok) ok = platform::fRegQueryValue(key, pszName, nullptr, buf.data(), size);
    if (ok) strValue = buf.data();
  }
  platform::vRegCloseKey(key);
  return ok;
}

// Opens the key for setting values, stores one value, then flushes and closes it whatever the
// write gave.
static BOOL fSetValue(RegKey hRoot, const char* pszPath, const char* pszName, uint32_t uType, const void* pData,
                      uint32_t uSize) {
  RegKey key = 0;
  if (!platform::fRegOpenKey(hRoot, pszPath, platform::REGACCESS_SET_VALUE, key)) return FALSE;
  BOOL ok = platform::fRegSetValue(key, pszName, uType, pData, uSize);
  platform::fRegFlushKey(key);
  platform::vRegCloseKey(key);
  return ok;
}

BOOL CRegOpr::fWriteDword(uint32_t uValue, const char* pszName, RegKey hRoot, const char* pszPath, uint32_t uType) {
  return fSetValue(hRoot, pszPath, pszName, uType, &uValue, sizeof uValue);
}

BOOL CRegOpr::fWriteBinary(const void* pData, const char* pszName, uint32_t uSize, RegKey hRoot, const char* pszPath) {
  return fSetValue(hRoot, pszPath, pszName, platform::REGTYPE_BINARY, pData, uSize);
}

BOOL CRegOpr::fWriteString(const char* pszText, const char* pszName, RegKey hRoot, const char* pszPath,
                           uint32_t uType) {
  std::string text = pszText != nullptr ? pszText : "";
  return fSetValue(hRoot, pszPath, pszName, uType, text.c_str(), static_cast<uint32_t>(text.size() + 1));
}

BOOL CRegOpr::fIsKey(RegKey hRoot, const char* pszPath) {
  RegKey key = 0;
  if (!platform::fRegOpenKey(hRoot, pszPath, platform::REGACCESS_QUERY_VALUE, key)) return FALSE;
  platform::vRegCloseKey(key);
  return TRUE;
}

BOOL CRegOpr::fDeleteKey(const char* pszSubKey, RegKey hRoot, const char* pszParentPath) {
  RegKey key = 0;
  if (!platform::fRegOpenKey(hRoot, pszParentPath, platform::REGACCESS_WRITE, key)) return FALSE;
  BOOL ok = platform::fRegDeleteKey(key, pszSubKey);
  platform::vRegCloseKey(key);
  return ok;
}

BOOL CRegOpr::fCreateKey(RegKey hRoot, const char* pszPath, const char* pszClass) {
  RegKey key = 0;
  if (!platform::fRegCreateKey(hRoot, pszPath, pszClass, platform::REGACCESS_WRITE, key)) return FALSE;
  platform::fRegFlushKey(key);
  platform::vRegCloseKey(key);
  return TRUE;
}
