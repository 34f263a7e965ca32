// Linux string table: the program's texts as data, searched by number.
#include "platform/string_table.h"

#include <cstring>

namespace platform {

int iLoadString(unsigned int uId, char* pBuffer, int iBufferMax, const CStringResource* pTable, size_t uCount) {
  if (pBuffer == nullptr || iBufferMax <= 0) return 0;
  pBuffer[0] = '\0';
  for (size_t i = 0; pTable != nullptr && i < uCount; ++i) {
    if (pTable[i].uId != uId) continue;
    size_t uLength = std::strlen(pTable[i].pszText);
    if (uLength > static_cast<size_t>(iBufferMax - 1)) uLength = static_cast<size_t>(iBufferMax - 1);
    std::memcpy(pBuffer, pTable[i].pszText, uLength);
    pBuffer[uLength] = '\0';
    return static_cast<int>(uLength);
  }
  return 0;
}

}  // namespace platform
