// vHookLog: TXHook.log beside the running program, through CLogFile.
#include "hooks/hook_log.h"

#include <cstdarg>
#include <cstdio>

#include "common/file_path.h"
#include "common/log_file.h"

void vHookLog(const char* pszFormat, ...) {
  char message[512];
  va_list args;
  va_start(args, pszFormat);
  std::vsnprintf(message, sizeof message, pszFormat, args);
  va_end(args);

  // Bound anew for every line: the three libraries each hold a log object on the same file, and
  // opening counts the file's lines, so rotation sees the other libraries' lines too.
  static CLogFile log;
  CFilePath path(FP_MODULE_FILE);
  path.vSetFileName("TXHook.log");
  if (log.fOpen(path.strGetFullPath())) log.fWrite("%s", message);
}
