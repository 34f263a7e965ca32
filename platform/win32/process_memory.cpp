// Win32 process-tree memory: a toolhelp snapshot for the tree, GetProcessMemoryInfo for each working set.
#include "platform/process_memory.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <map>
#include <vector>

namespace platform {

namespace {

BOOL fWorkingSet(DWORD uPid, uint64_t& uBytes) {
  HANDLE hProcess =
      uPid == GetCurrentProcessId() ? GetCurrentProcess() : OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, uPid);
  if (hProcess == nullptr) return FALSE;
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  BOOL bOk = GetProcessMemoryInfo(hProcess, &counters, sizeof counters);
  if (hProcess != GetCurrentProcess()) CloseHandle(hProcess);
  if (!bOk) return FALSE;
  uBytes = counters.WorkingSetSize;
  return TRUE;
}

}  // namespace

BOOL fGetProcessTreeResidentBytes(uint64_t& uBytes) {
  DWORD uSelf = GetCurrentProcessId();
  if (!fWorkingSet(uSelf, uBytes)) return FALSE;
  HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (hSnapshot == INVALID_HANDLE_VALUE) return TRUE;
  std::multimap<DWORD, DWORD> children;  // parent -> child
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL bMore = Process32First(hSnapshot, &entry); bMore; bMore = Process32Next(hSnapshot, &entry)) {
    if (entry.th32ProcessID != 0 && entry.th32ProcessID != entry.th32ParentProcessID)
      children.emplace(entry.th32ParentProcessID, entry.th32ProcessID);
  }
  CloseHandle(hSnapshot);
  // Process ids are reused: a parent id may name a process that started after its "child", so
  // each process is counted once at most.
  std::vector<DWORD> pending = {uSelf}, seen = {uSelf};
  while (!pending.empty()) {
    DWORD uParent = pending.back();
    pending.pop_back();
    auto range = children.equal_range(uParent);
    for (auto it = range.first; it != range.second; ++it) {
      BOOL bSeen = FALSE;
      for (DWORD uId : seen) bSeen = bSeen || uId == it->second;
      if (bSeen) continue;
      seen.push_back(it->second);
      uint64_t uChild = 0;
      if (fWorkingSet(it->second, uChild)) uBytes += uChild;
      pending.push_back(it->second);
    }
  }
  return TRUE;
}

}  // namespace platform
