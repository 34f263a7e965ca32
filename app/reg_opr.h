// CRegOpr: registry access that opens, acts on and closes its key in every call.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/types.h"

// Each operation opens (or creates) the key at the path under the root key, acts, and closes it
// again, flushing after a write. No key stays open between calls. All results: TRUE on success.
class CRegOpr {
 public:
  CRegOpr();
  virtual ~CRegOpr();

  // A 4-byte value.
  virtual BOOL fReadDword(uint32_t& uValue, const char* pszName, platform::RegKey hRoot, const char* pszPath);
  // Asks for the size, then reads the data into pData (room: uSize bytes; receives the size).
  virtual BOOL fReadBinary(void* pData, const char* pszName, uint32_t& uSize, platform::RegKey hRoot,
                           const char* pszPath);
  // Asks for the size, reads into a cleared buffer one byte longer and copies the text.
  virtual BOOL fReadString(std::string& strValue, const char* pszName, platform::RegKey hRoot, const char* pszPath);
  // Writes a 4-byte value of the given type.
  virtual BOOL fWriteDword(uint32_t uValue, const char* pszName, platform::RegKey hRoot, const char* pszPath,
                           uint32_t uType);
  // Writes a REG_BINARY value.
  virtual BOOL fWriteBinary(const void* pData, const char* pszName, uint32_t uSize, platform::RegKey hRoot,
                            const char* pszPath);
  // Writes the text with its terminating null byte.
  virtual BOOL fWriteString(const char* pszText, const char* pszName, platform::RegKey hRoot, const char* pszPath,
                            uint32_t uType);
  // Whether the key can be opened for reading its values.
  virtual BOOL fIsKey(platform::RegKey hRoot, const char* pszPath);
  // Deletes the subkey pszSubKey of the key at pszParentPath.
  virtual BOOL fDeleteKey(const char* pszSubKey, platform::RegKey hRoot, const char* pszParentPath);
  // Creates the key, or opens it when it exists (pszClass may be null).
  virtual BOOL fCreateKey(platform::RegKey hRoot, const char* pszPath, const char* pszClass);
};
