// The registry: open, create, read, write, flush, close and delete keys and their typed values.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

// A key: one of the root keys below, or a key opened by fRegOpenKey / fRegCreateKey, which must
// be closed with vRegCloseKey.
typedef uintptr_t RegKey;

// Root keys (the Win32 HKEY_* values).
const RegKey REGKEY_CLASSES_ROOT = 0x80000000u;
const RegKey REGKEY_CURRENT_USER = 0x80000001u;
const RegKey REGKEY_LOCAL_MACHINE = 0x80000002u;
const RegKey REGKEY_USERS = 0x80000003u;

// Access rights (the Win32 KEY_* values).
const uint32_t REGACCESS_QUERY_VALUE = 0x0001;
const uint32_t REGACCESS_SET_VALUE = 0x0002;
const uint32_t REGACCESS_CREATE_SUB_KEY = 0x0004;
const uint32_t REGACCESS_READ = 0x20019;
const uint32_t REGACCESS_WRITE = 0x20006;
const uint32_t REGACCESS_ALL = 0xF003F;

// Value types (the Win32 REG_* values).
const uint32_t REGTYPE_SZ = 1;
const uint32_t REGTYPE_EXPAND_SZ = 2;
const uint32_t REGTYPE_BINARY = 3;
const uint32_t REGTYPE_DWORD = 4;

// RegOpenKeyExA: opens the existing key at the path (backslash-separated, names compared without
// regard to case) under hRoot with the access. False when it does not exist or the access is
// refused.
BOOL fRegOpenKey(RegKey hRoot, const char* pszPath, uint32_t uAccess, RegKey& hKey);

// RegCreateKeyExA (non-volatile, no security attributes): opens the key, creating it and the
// missing keys above it. pszClass may be null. False when it cannot be created or opened.
BOOL fRegCreateKey(RegKey hRoot, const char* pszPath, const char* pszClass, uint32_t uAccess, RegKey& hKey);

// RegSetValueExA: stores the value (pszName null or empty: the key's default value) with its
// type and uSize bytes of data. False when the key lacks the access or the store fails.
BOOL fRegSetValue(RegKey hKey, const char* pszName, uint32_t uType, const void* pData, uint32_t uSize);

// RegQueryValueExA: the value's type and data. pData null asks for the size only; otherwise
// uSize gives the room and receives the size of the data. False when the value is missing, the
// key lacks the access, or the room is too small (uSize then holds the size needed).
BOOL fRegQueryValue(RegKey hKey, const char* pszName, uint32_t* pType, void* pData, uint32_t& uSize);

// RegDeleteKeyA: deletes the subkey named pszSubKey of hKey, which must have no subkeys itself.
BOOL fRegDeleteKey(RegKey hKey, const char* pszSubKey);

// RegFlushKey: the key's data reaches the disk.
BOOL fRegFlushKey(RegKey hKey);

// RegCloseKey. Root keys are never closed.
void vRegCloseKey(RegKey hKey);

}  // namespace platform
