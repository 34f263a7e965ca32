// fEncodePng: the PNG chunks, the "Up" row filter and a zlib stream of stored deflate blocks.
#include "common/png_writer.h"

#include <new>
#include <vector>

namespace {

const size_t kStoredBlockMax = 65535;

void vPut32(std::string& out, uint32_t uValue) {
  out += static_cast<char>(uValue >> 24);
  out += static_cast<char>(uValue >> 16);
  out += static_cast<char>(uValue >> 8);
  out += static_cast<char>(uValue);
}

void vChunk(std::string& out, const char* pszType, const std::string& strData) {
  vPut32(out, static_cast<uint32_t>(strData.size()));
  std::string body = std::string(pszType, 4) + strData;
  out += body;
  vPut32(out, uCrc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

}  // namespace

uint32_t uCrc32(const uint8_t* pData, size_t uLength, uint32_t uPrevious) {
  struct CTable {
    uint32_t u[256];
    CTable() {
      for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        u[n] = c;
      }
    }
  };
  static const CTable s_table;
  uint32_t c = uPrevious ^ 0xFFFFFFFFu;
  for (size_t i = 0; i < uLength; ++i) c = s_table.u[(c ^ pData[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t uAdler32(const uint8_t* pData, size_t uLength, uint32_t uPrevious) {
  uint32_t a = uPrevious & 0xFFFF, b = uPrevious >> 16;
  while (uLength > 0) {
    size_t uRun = uLength < 5552 ? uLength : 5552;  // the most bytes before b can overflow
    uLength -= uRun;
    for (; uRun > 0; --uRun) {
      a += *pData++;
      b += a;
    }
    a %= 65521;
    b %= 65521;
  }
  return (b << 16) | a;
}

BOOL fEncodePng(uint32_t uWidth, uint32_t uHeight, const uint8_t* pPixels, size_t uStride, std::string& strPng) {
  strPng.clear();
  if (uWidth == 0 || uHeight == 0 || pPixels == nullptr || uStride < static_cast<size_t>(uWidth) * 4) return FALSE;
  uint64_t ullRaw = (static_cast<uint64_t>(uWidth) * 3 + 1) * uHeight;
  if (ullRaw > 0x80000000ull) return FALSE;
  try {
    // The filtered rows: a filter byte (2: "Up", the difference to the row above) and R, G, B.
    std::vector<uint8_t> raw(static_cast<size_t>(ullRaw));
    size_t uRowBytes = static_cast<size_t>(uWidth) * 3 + 1;
    for (uint32_t y = 0; y < uHeight; ++y) {
      const uint8_t* pRow = pPixels + uStride * y;
      const uint8_t* pAbove = y > 0 ? pPixels + uStride * (y - 1) : nullptr;
      uint8_t* pOut = raw.data() + uRowBytes * y;
      *pOut++ = 2;
      for (uint32_t x = 0; x < uWidth; ++x) {
        const uint8_t* p = pRow + x * 4;
        uint8_t r = p[2], g = p[1], b = p[0];
        if (pAbove != nullptr) {
          const uint8_t* q = pAbove + x * 4;
          r = static_cast<uint8_t>(r - q[2]);
          g = static_cast<uint8_t>(g - q[1]);
          b = static_cast<uint8_t>(b - q[0]);
        }
        *pOut++ = r;
        *pOut++ = g;
        *pOut++ = b;
      }
    }

    std::string zlib;
    size_t uBlocks = raw.size() / kStoredBlockMax + 1;
    zlib.reserve(raw.size() + uBlocks * 5 + 6);
    zlib += '\x78';  // deflate, 32 KiB window
    zlib += '\x01';  // no dictionary, fastest level; (0x78 << 8 | 0x01) is a multiple of 31
    for (size_t uPos = 0;;) {
      size_t uLength = raw.size() - uPos < kStoredBlockMax ? raw.size() - uPos : kStoredBlockMax;
      BOOL bFinal = uPos + uLength == raw.size();
      zlib += static_cast<char>(bFinal ? 1 : 0);  // BFINAL, BTYPE 00: stored
      zlib += static_cast<char>(uLength & 0xFF);
      zlib += static_cast<char>(uLength >> 8);
      zlib += static_cast<char>(~uLength & 0xFF);
      zlib += static_cast<char>((~uLength >> 8) & 0xFF);
      zlib.append(reinterpret_cast<const char*>(raw.data()) + uPos, uLength);
      uPos += uLength;
      if (bFinal) break;
    }
    vPut32(zlib, uAdler32(raw.data(), raw.size()));

    std::string header;
    vPut32(header, uWidth);
    vPut32(header, uHeight);
    header += '\x08';  // bit depth
    header += '\x02';  // colour type: RGB
    header += '\0';    // compression: deflate
    header += '\0';    // filter method 0
    header += '\0';    // no interlace
    strPng.reserve(zlib.size() + 64);
    strPng = std::string("\x89PNG\r\n\x1a\n", 8);
    vChunk(strPng, "IHDR", header);
    vChunk(strPng, "IDAT", zlib);
    vChunk(strPng, "IEND", std::string());
  } catch (const std::bad_alloc&) {
    strPng.clear();
    return FALSE;
  }
  return TRUE;
}
