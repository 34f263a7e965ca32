// The identity of the frame that raised a navigation event: kept, compared and printed, never followed.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Pointer-sized and compared by value. On Windows it is the frame's dispatch pointer, taken
// without a reference; other backends give each frame a value of their own that stays the same
// for all of its events. A null identity belongs to no frame.
class CFrameId {
 public:
  constexpr CFrameId() = default;
  explicit constexpr CFrameId(uintptr_t uValue) : m_uValue(uValue) {}

  // The identity of the object at the address; only the address is kept.
  static CFrameId idOf(const void* p) { return CFrameId(reinterpret_cast<uintptr_t>(p)); }

  constexpr uintptr_t uValue() const { return m_uValue; }
  constexpr BOOL fIsNull() const { return m_uValue == 0 ? TRUE : FALSE; }
  friend constexpr bool operator==(CFrameId a, CFrameId b) { return a.m_uValue == b.m_uValue; }

 private:
  uintptr_t m_uValue = 0;
};
