// A PNG writer of the program's own: 32-bit screen pixels to an 8-bit RGB PNG file's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/types.h"

// Encodes uWidth x uHeight pixels, 4 bytes each in the order blue, green, red, unused (a 32-bit
// Windows bitmap, or a cairo RGB24/ARGB32 surface on a little-endian machine), rows from the top,
// uStride bytes apart, as the bytes of a PNG file: 8-bit RGB without alpha, no interlace, each
// row filtered "Up", in a zlib stream of stored (uncompressed) deflate blocks. False for an empty
// or oversized image (more than 2^31 bytes of pixels) or when memory runs out.
BOOL fEncodePng(uint32_t uWidth, uint32_t uHeight, const uint8_t* pPixels, size_t uStride, std::string& strPng);

// The checksums of the format: CRC-32 of PNG chunks and Adler-32 of zlib streams, continued
// from uPrevious (start with 0 and 1).
uint32_t uCrc32(const uint8_t* pData, size_t uLength, uint32_t uPrevious = 0);
uint32_t uAdler32(const uint8_t* pData, size_t uLength, uint32_t uPrevious = 1);
