// Linux private profile files: the INI text logic of profile_text.cpp on whole files in their own
// code (UTF-16 files stay UTF-16), each write an atomic replacement of the file.
#include "platform/profile.h"

#include <cstring>
#include <new>
#include <string>

#include "platform/linux/file_replace.h"
#include "platform/linux/profile_text.h"

namespace platform {

unsigned int uGetPrivateProfileString(const char* pszSection, const char* pszKey, const char* pszDefault, char* buf,
                                      unsigned int size, const char* pszFile) {
  if (buf == nullptr || size == 0) return 0;
  std::string value;
  BOOL found = FALSE;
  try {
    std::string bytes;
    BOOL bExists = FALSE;
    if (pszSection != nullptr && pszKey != nullptr && pszFile != nullptr && fReadWholeFile(pszFile, bytes, bExists)) {
      ProfileCode code = PROFILE_NARROW;
      found = fProfileFind(strProfileText(bytes, code), pszSection, pszKey, value);
      if (found) value = strProfileValue(value, code);
    }
  } catch (const std::bad_alloc&) {
    found = FALSE;  // a file too large to hold reads as missing
  }
  if (!found) {
    if (pszSection == nullptr || pszKey == nullptr) {
      value.clear();
    } else {
      value = pszDefault != nullptr ? pszDefault : "";
      while (!value.empty() && value.back() == ' ') value.pop_back();
    }
  }
  size_t n = value.size() < size - 1 ? value.size() : size - 1;
  std::memcpy(buf, value.data(), n);
  buf[n] = '\0';
  return static_cast<unsigned int>(n);
}

BOOL fWritePrivateProfileString(const char* pszSection, const char* pszKey, const char* pszValue, const char* pszFile) {
  if (pszFile == nullptr) return FALSE;
  // Nothing is cached between calls: every write is already on disk. The flush form answers
  // FALSE, as the Win32 call does.
  if (pszSection == nullptr) return FALSE;
  try {
    std::string bytes;
    BOOL bExists = FALSE;
    if (!fReadWholeFile(pszFile, bytes, bExists)) return FALSE;
    ProfileCode code = PROFILE_NARROW;
    const std::string text = strProfileText(bytes, code);
    std::string edited = text;
    vProfileEdit(edited, pszSection, pszKey, pszValue);
    if (bExists && edited == text) return fMayWrite(pszFile);
    return fReplaceFile(pszFile, strProfileBytes(edited, code));
  } catch (const std::bad_alloc&) {
    return FALSE;  // too large to edit in memory: the file stays as it is
  }
}

}  // namespace platform
