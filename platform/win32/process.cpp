// Win32 processes: the toolhelp snapshot compared with lstrcmpiA, and ShellExecuteA.
#include "platform/process.h"

#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

namespace platform {

const char* pszKioskExeName() { return "Tarvenix.exe"; }

const char* pszRunScriptName() { return "TarvenixRun.bat"; }

BOOL fFindProcessByName(const char* pszExeName, uint32_t& uPid) {
  HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (hSnap == INVALID_HANDLE_VALUE) return FALSE;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  BOOL bFound = FALSE;
  if (Process32First(hSnap, &entry)) {
    do {
      if (lstrcmpiA(entry.szExeFile, pszExeName) == 0) {
        uPid = entry.th32ProcessID;
        bFound = TRUE;
        break;
      }
    } while (Process32Next(hSnap, &entry));
  }
  CloseHandle(hSnap);
  return bFound;
}

BOOL fStartRunScript(const std::string& strPath) {
  HINSTANCE h = ShellExecuteA(nullptr, "open", strPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<intptr_t>(h) > 32 ? TRUE : FALSE;
}

}  // namespace platform
