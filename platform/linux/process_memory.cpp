// Linux process-tree memory: parents from /proc/<id>/stat, resident pages from /proc/<id>/statm.
#include "platform/process_memory.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace platform {

namespace {

// The parent of a process, from the field after the command name (which may hold blanks and
// parentheses, so the last ')' ends it).
BOOL fParentOf(long lPid, long& lParent) {
  char szPath[64];
  std::snprintf(szPath, sizeof szPath, "/proc/%ld/stat", lPid);
  FILE* fp = std::fopen(szPath, "re");
  if (fp == nullptr) return FALSE;
  char szLine[1024] = {};
  size_t uRead = std::fread(szLine, 1, sizeof szLine - 1, fp);
  std::fclose(fp);
  szLine[uRead] = '\0';
  const char* pClose = std::strrchr(szLine, ')');
  char cState = 0;
  if (pClose == nullptr || std::sscanf(pClose + 1, " %c %ld", &cState, &lParent) != 2) return FALSE;
  return cState != 'Z' ? TRUE : FALSE;
}

BOOL fResidentBytes(long lPid, uint64_t& uBytes) {
  char szPath[64];
  std::snprintf(szPath, sizeof szPath, "/proc/%ld/statm", lPid);
  FILE* fp = std::fopen(szPath, "re");
  if (fp == nullptr) return FALSE;
  unsigned long long ullSize = 0, ullResident = 0;
  int iFields = std::fscanf(fp, "%llu %llu", &ullSize, &ullResident);
  std::fclose(fp);
  if (iFields != 2) return FALSE;
  long lPage = sysconf(_SC_PAGESIZE);
  uBytes = ullResident * static_cast<uint64_t>(lPage > 0 ? lPage : 4096);
  return TRUE;
}

}  // namespace

BOOL fGetProcessTreeResidentBytes(uint64_t& uBytes) {
  long lSelf = static_cast<long>(getpid());
  if (!fResidentBytes(lSelf, uBytes)) return FALSE;
  std::multimap<long, long> children;  // parent -> child
  DIR* pDir = opendir("/proc");
  if (pDir == nullptr) return TRUE;
  while (dirent* pEntry = readdir(pDir)) {
    char* pEnd = nullptr;
    long lPid = std::strtol(pEntry->d_name, &pEnd, 10);
    long lParent = 0;
    if (pEnd == pEntry->d_name || *pEnd != '\0' || lPid <= 0) continue;
    if (fParentOf(lPid, lParent)) children.emplace(lParent, lPid);
  }
  closedir(pDir);
  std::vector<long> pending = {lSelf};
  while (!pending.empty()) {
    long lParent = pending.back();
    pending.pop_back();
    auto range = children.equal_range(lParent);
    for (auto it = range.first; it != range.second; ++it) {
      uint64_t uChild = 0;
      if (fResidentBytes(it->second, uChild)) uBytes += uChild;
      pending.push_back(it->second);
    }
  }
  return TRUE;
}

}  // namespace platform
