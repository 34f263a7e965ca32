// Test helper, every platform: a program run to its end, and a file's content.
#include "tests/support/spawn.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/module_path.h"

namespace txtest {

bool fRun(const std::vector<std::string>& args, std::string& strOut, std::string& strErr, int& iStatus,
          uint32_t uMillis) {
  // Files of their own for each call: calls may run at once on several threads.
  std::string out, err;
  bool made = platform::fCreateTempFile("txr", out) && platform::fCreateTempFile("txr", err);
  Child child;
  bool ended = false;
  if (made && fSpawn(args, child, out, err)) {
    ended = fWait(child, uMillis, iStatus);
    if (!ended) vKill(child);
    strOut = strReadFile(out);
    strErr = strReadFile(err);
  }
  if (!out.empty()) std::remove(out.c_str());
  if (!err.empty()) std::remove(err.c_str());
  return ended;
}

std::string strReadFile(const std::string& strPath) {
  std::ifstream in(strPath, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace txtest
