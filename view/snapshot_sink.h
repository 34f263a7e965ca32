// CSnapshotSink: where the page view hands the pictures of what it shows.
#pragma once

#include <cstddef>
#include <cstdint>

// The arguments as CHtmlView::OnSnapshot: uWidth x uHeight pixels of 4 bytes (blue, green, red,
// unused), rows uStride bytes apart, valid during the call; pPixels null when none was taken.
class CSnapshotSink {
 public:
  virtual ~CSnapshotSink() = default;
  virtual void vOnSnapshot(uint32_t uWidth, uint32_t uHeight, const uint8_t* pPixels, size_t uStride) = 0;
};
