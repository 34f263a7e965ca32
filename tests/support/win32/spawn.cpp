// Test helper on Windows: CreateProcessA with files on the standard handles.
#include "tests/support/spawn.h"

#include <windows.h>
#include <cstdio>

namespace txtest {

// Quotes one word for the command line as the C runtime splits it again.
static std::string strQuote(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos) return word;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : word) {
    if (c == '\\') {
      backslashes++;
      continue;
    }
    if (c == '"')
      out.append(backslashes * 2 + 1, '\\');
    else
      out.append(backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

static HANDLE hOpenOut(const std::string& strPath) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileA(strPath.empty() ? "NUL" : strPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool fSpawn(const std::vector<std::string>& args, Child& child, const std::string& strOut, const std::string& strErr) {
  std::string line;
  for (const std::string& a : args) line += (line.empty() ? "" : " ") + strQuote(a);
  HANDLE out = hOpenOut(strOut);
  HANDLE err = hOpenOut(strErr);
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE in = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  BOOL ok = CreateProcessA(args[0].c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(out);
  CloseHandle(err);
  CloseHandle(in);
  if (!ok) return false;
  CloseHandle(pi.hThread);
  child.iHandle = reinterpret_cast<intptr_t>(pi.hProcess);
  return true;
}

bool fWait(Child& child, uint32_t uMillis, int& iStatus) {
  if (child.iHandle == 0) return false;
  HANDLE h = reinterpret_cast<HANDLE>(child.iHandle);
  if (WaitForSingleObject(h, uMillis) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(h, &code);
  CloseHandle(h);
  child.iHandle = 0;
  iStatus = static_cast<int>(code);
  return true;
}

void vKill(Child& child) {
  if (child.iHandle == 0) return;
  HANDLE h = reinterpret_cast<HANDLE>(child.iHandle);
  TerminateProcess(h, 1);
  WaitForSingleObject(h, 10000);
  CloseHandle(h);
  child.iHandle = 0;
}

int iStatusMinusOne() { return -1; }

const char* pszExeSuffix() { return ".exe"; }

std::string strCommandOutput(const std::string& strCommand) {
  std::string out;
  FILE* pipe = _popen(strCommand.c_str(), "r");
  if (pipe == nullptr) return out;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
  _pclose(pipe);
  return out;
}

}  // namespace txtest
