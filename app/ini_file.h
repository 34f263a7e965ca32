// CIniFile: one INI file's section "Setting", read and written through the platform's profile calls.
#pragma once

#include <string>

#include "platform/types.h"

// The settings file: values of section "Setting" of the file m_strFile (full path, set by the
// owner). Reads never fail: a missing file or key gives the default.
class CIniFile {
 public:
  CIniFile();
  virtual ~CIniFile();

  // The value of the key, cut to 259 bytes, or pszDefault when the key or the file is missing.
  // Always TRUE.
  BOOL fGetString(const char* pszKey, std::string& strOut, const char* pszDefault);
  // The value as a signed decimal number (strtol rules: leading blanks and a sign accepted, stops
  // at the first non-digit, no digits give 0, out-of-range numbers give the nearest int). A
  // missing key gives -1. Always TRUE.
  BOOL fGetInt(const char* pszKey, int& iOut);
  // Writes the number ("%d") as the key's value, then flushes the profile cache for the file.
  // TRUE when the key was written.
  BOOL fSetInt(const char* pszKey, int iValue);
  // Writes the text as the key's value, then flushes. TRUE when the key was written.
  BOOL fSetString(const char* pszKey, const char* pszValue);

  std::string m_strFile;
};
