// fEncodePng: the file's structure, its checksums and the pixels read back from its stored blocks.
#include "common/png_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

uint32_t uBig32(const std::string& s, size_t uAt) {
  return static_cast<uint32_t>(static_cast<uint8_t>(s[uAt])) << 24 | static_cast<uint8_t>(s[uAt + 1]) << 16 |
         static_cast<uint8_t>(s[uAt + 2]) << 8 | static_cast<uint8_t>(s[uAt + 3]);
}

struct CChunk {
  std::string strType, strData;
};

// The chunks after the signature, each checked against its CRC.
std::vector<CChunk> chunks(const std::string& png) {
  std::vector<CChunk> out;
  size_t uAt = 8;
  while (uAt + 12 <= png.size()) {
    uint32_t uLength = uBig32(png, uAt);
    CChunk chunk{png.substr(uAt + 4, 4), png.substr(uAt + 8, uLength)};
    std::string body = png.substr(uAt + 4, 4 + uLength);
    EXPECT_EQ(uBig32(png, uAt + 8 + uLength), uCrc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()))
        << chunk.strType;
    out.push_back(chunk);
    uAt += 12 + uLength;
  }
  EXPECT_EQ(uAt, png.size());
  return out;
}

// The stream's stored blocks put together, checked against its Adler-32.
std::string strInflateStored(const std::string& z) {
  EXPECT_EQ((static_cast<uint8_t>(z[0]) << 8 | static_cast<uint8_t>(z[1])) % 31, 0);
  std::string out;
  size_t uAt = 2;
  for (;;) {
    uint8_t uHeader = static_cast<uint8_t>(z[uAt]);
    EXPECT_EQ(uHeader & 6, 0) << "not a stored block";
    uint16_t uLength = static_cast<uint8_t>(z[uAt + 1]) | static_cast<uint8_t>(z[uAt + 2]) << 8;
    uint16_t uNot = static_cast<uint8_t>(z[uAt + 3]) | static_cast<uint8_t>(z[uAt + 4]) << 8;
    EXPECT_EQ(static_cast<uint16_t>(~uLength), uNot);
    out += z.substr(uAt + 5, uLength);
    uAt += 5 + uLength;
    if (uHeader & 1) break;
  }
  EXPECT_EQ(uBig32(z, uAt), uAdler32(reinterpret_cast<const uint8_t*>(out.data()), out.size()));
  EXPECT_EQ(uAt + 4, z.size());
  return out;
}

TEST(PngWriter, KnownChecksums) {
  const char text[] = "123456789";
  EXPECT_EQ(uCrc32(reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);
  EXPECT_EQ(uAdler32(reinterpret_cast<const uint8_t*>("Wikipedia"), 9), 0x11E60398u);
  // Continued in two parts gives the same.
  EXPECT_EQ(uCrc32(reinterpret_cast<const uint8_t*>(text + 4), 5, uCrc32(reinterpret_cast<const uint8_t*>(text), 4)),
            0xCBF43926u);
  std::vector<uint8_t> big(100000, 0xFF);
  uint32_t uWhole = uAdler32(big.data(), big.size());
  EXPECT_EQ(uAdler32(big.data() + 50000, 50000, uAdler32(big.data(), 50000)), uWhole);
}

TEST(PngWriter, PixelsComeBackFromTheFile) {
  // 150 x 120 pixels (more than one stored block), with a stride wider than the row.
  const uint32_t uWidth = 150, uHeight = 120;
  const size_t uStride = uWidth * 4 + 8;
  std::vector<uint8_t> pixels(uStride * uHeight, 0xEE);
  for (uint32_t y = 0; y < uHeight; ++y) {
    for (uint32_t x = 0; x < uWidth; ++x) {
      uint8_t* p = &pixels[y * uStride + x * 4];
      p[0] = static_cast<uint8_t>(x * 7 + y);  // blue
      p[1] = static_cast<uint8_t>(y * 3);      // green
      p[2] = static_cast<uint8_t>(x ^ y);      // red
      p[3] = 0x5A;                             // unused
    }
  }
  std::string png;
  ASSERT_TRUE(fEncodePng(uWidth, uHeight, pixels.data(), uStride, png));
  ASSERT_EQ(png.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)), 0);
  std::vector<CChunk> parts = chunks(png);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].strType, "IHDR");
  EXPECT_EQ(parts[0].strData, std::string("\0\0\0\x96\0\0\0\x78\x08\x02\0\0\0", 13));
  EXPECT_EQ(parts[1].strType, "IDAT");
  EXPECT_EQ(parts[2].strType, "IEND");
  std::string raw = strInflateStored(parts[1].strData);
  ASSERT_EQ(raw.size(), (uWidth * 3 + 1) * uHeight);
  // Undo the "Up" filter and compare with the source.
  std::vector<uint8_t> above(uWidth * 3, 0);
  for (uint32_t y = 0; y < uHeight; ++y) {
    const uint8_t* pRow = reinterpret_cast<const uint8_t*>(raw.data()) + y * (uWidth * 3 + 1);
    ASSERT_EQ(pRow[0], 2);
    for (uint32_t i = 0; i < uWidth * 3; ++i) above[i] = static_cast<uint8_t>(above[i] + pRow[1 + i]);
    for (uint32_t x = 0; x < uWidth; ++x) {
      const uint8_t* p = &pixels[y * uStride + x * 4];
      ASSERT_EQ(above[x * 3], p[2]) << x << "," << y;
      ASSERT_EQ(above[x * 3 + 1], p[1]) << x << "," << y;
      ASSERT_EQ(above[x * 3 + 2], p[0]) << x << "," << y;
    }
  }
}

TEST(PngWriter, RefusesWhatIsNoImage) {
  std::vector<uint8_t> pixels(64, 0);
  std::string png = "old";
  EXPECT_FALSE(fEncodePng(0, 4, pixels.data(), 16, png));
  EXPECT_TRUE(png.empty());
  EXPECT_FALSE(fEncodePng(4, 0, pixels.data(), 16, png));
  EXPECT_FALSE(fEncodePng(4, 4, nullptr, 16, png));
  EXPECT_FALSE(fEncodePng(4, 4, pixels.data(), 15, png));
  EXPECT_FALSE(fEncodePng(100000, 100000, pixels.data(), 400000, png));
  EXPECT_TRUE(fEncodePng(4, 4, pixels.data(), 16, png));
}

}  // namespace
