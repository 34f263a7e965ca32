// The program's string table: its texts by resource number, read as LoadStringA reads them.
#pragma once

#include <cstddef>

namespace platform {

// One text of the program's string table.
struct CStringResource {
  unsigned int uId;
  const char* pszText;
};

// Copies string resource uId of the running program into pBuffer: at most iBufferMax - 1 bytes
// and a terminating 0; returns the bytes copied, 0 when the number has no text (or the buffer is
// null or too small to hold anything).
// Windows: the string table compiled into the program's executable (LoadStringA of its module),
// converted to the ANSI code page; pTable, the same texts as data, is not read. Linux, whose
// programs carry no resources: the entry of pTable (uCount entries) with the number.
int iLoadString(unsigned int uId, char* pBuffer, int iBufferMax, const CStringResource* pTable, size_t uCount);

}  // namespace platform
