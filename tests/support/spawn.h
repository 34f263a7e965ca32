// Test helper: start programs, capture what they print, wait for them or kill them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace txtest {

struct Child {
  intptr_t iHandle = 0;  // process handle (Windows) or process id (Linux); 0 when none
};

// Starts args[0] with the other words as its arguments; its standard output and error go to the
// files named (empty: discarded). False when it could not start.
bool fSpawn(const std::vector<std::string>& args, Child& child, const std::string& strOut = "",
            const std::string& strErr = "");

// Waits up to uMillis for the child to end; true with its exit status once it has ended.
bool fWait(Child& child, uint32_t uMillis, int& iStatus);

// Ends the child at once (if still running) and releases it.
void vKill(Child& child);

// Runs a program to its end (at most uMillis) and returns what it printed and its exit status,
// as a script calling it would see them. False when it could not start or did not end in time.
bool fRun(const std::vector<std::string>& args, std::string& strOut, std::string& strErr, int& iStatus,
          uint32_t uMillis = 120000);

// The exit status -1 as the platform reports it to a caller (255 on Linux, 0xFFFFFFFF on Windows).
int iStatusMinusOne();

// The suffix of executable files ("" or ".exe").
const char* pszExeSuffix();

// Runs a command line in the system's shell and returns what it printed on standard output.
std::string strCommandOutput(const std::string& strCommand);

// Whole content of a file ("" when it cannot be read).
std::string strReadFile(const std::string& strPath);

}  // namespace txtest
