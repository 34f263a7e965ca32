// Windows side of the black-box test support: CreateProcess, "reg query" and key security.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/app/run_support.h"

namespace {
const char kFeatureControl[] = "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\";
}

std::string strExeName(const std::string& strBase) { return strBase + ".exe"; }

std::string strLineEnd() { return "\r\n"; }

int iRunProgram(const std::string& strProgram, const std::vector<std::string>& args) {
  std::string line = "\"" + strProgram + "\"";
  for (const std::string& a : args) line += " \"" + a + "\"";
  std::string dir = strProgram.substr(0, strProgram.find_last_of('\\'));
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(strProgram.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
    return -1;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

void vUseRegistryIn(const std::string&) {}

bool fQueryFeature(const char* pszFeature, uint32_t& uValue) {
  std::string cmd = std::string("reg query \"HKCU\\") + kFeatureControl + pszFeature + "\" /v Tarvenix.exe 2>nul";
  FILE* fp = _popen(cmd.c_str(), "r");
  if (fp == nullptr) return false;
  char line[512];
  bool found = false;
  while (std::fgets(line, sizeof line, fp) != nullptr) {
    std::string text = line;
    std::string::size_type type = text.find("REG_DWORD");
    if (text.find("Tarvenix.exe") == std::string::npos || type == std::string::npos) continue;
    uValue = static_cast<uint32_t>(std::strtoul(text.c_str() + type + 9, nullptr, 0));
    found = true;
  }
  _pclose(fp);
  return found;
}

bool fBlockFeature(const char* pszFeature, bool bBlock) {
  std::string path = std::string(kFeatureControl) + pszFeature;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, WRITE_DAC, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  // An empty access list refuses everyone; none (a null list) grants everyone everything. The
  // owner keeps the right to change the list back.
  SECURITY_DESCRIPTOR sd;
  ACL acl;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  InitializeAcl(&acl, sizeof acl, ACL_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, bBlock ? &acl : nullptr, FALSE);
  bool ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

bool fDeleteFeature(const char* pszFeature) {
  std::string path = std::string(kFeatureControl) + pszFeature;
  LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool fFolderPermissionsApply() { return false; }

bool fMakeReadOnly(const std::string& strPath, bool bOn) {
  static HANDLE hHeld = INVALID_HANDLE_VALUE;
  if (hHeld != INVALID_HANDLE_VALUE) CloseHandle(hHeld);
  hHeld = INVALID_HANDLE_VALUE;
  if (!SetFileAttributesA(strPath.c_str(), bOn ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL)) return false;
  if (!bOn) return true;
  hHeld = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  return hHeld != INVALID_HANDLE_VALUE;
}
