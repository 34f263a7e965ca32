// The argument rules of the browser control host that need no engine: posted data, texts and
// the cancel flag handed back to the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// Variant type bits of the posted-data argument.
inline constexpr uint16_t VARTYPE_UI1 = 0x11;
inline constexpr uint16_t VARTYPE_ARRAY = 0x2000;

// The posted-data argument of BeforeNavigate2 as the engine delivers it: the variant's type and,
// when it holds a one-dimensional array, that array's bytes (m_pBytes may be null when
// m_uCount is 0).
struct CPostedData {
  uint16_t m_uType;
  const unsigned char* m_pBytes;
  size_t m_uCount;
};

// The bytes the handler receives: the array's bytes when the variant holds an array, read as
// unsigned bytes whatever its element type; an empty array otherwise.
void vGetPostedData(const CPostedData& posted, std::vector<unsigned char>& vecBytes);

// A text argument already converted to the narrow code page; a null text becomes "".
std::string strEventText(const char* pszText);

// The engine's cancel flag (a 16-bit truth value) for the handler's BOOL: -1 when the flag is
// not 0, else 0.
int16_t iEngineCancel(BOOL bCancel);

// Writes the handler's cancel decision back to the engine's flag, when the engine passed one.
void vWriteEngineCancel(BOOL bCancel, int16_t* piEngineFlag);

}  // namespace platform
