// Win32 string table: LoadStringA of the running program's module.
#include "platform/string_table.h"

#include <windows.h>

namespace platform {

int iLoadString(unsigned int uId, char* pBuffer, int iBufferMax, const CStringResource*, size_t) {
  if (pBuffer == nullptr || iBufferMax <= 0) return 0;
  pBuffer[0] = '\0';
  return LoadStringA(GetModuleHandleA(nullptr), uId, pBuffer, iBufferMax);
}

}  // namespace platform
