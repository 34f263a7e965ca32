// Tests of the browser control host's argument rules: posted data, null texts, the cancel flag.
#include <gtest/gtest.h>

#include <vector>

#include "platform/host_args.h"

namespace {

using namespace platform;

TEST(HostArgs, PostedDataComesOnlyFromAnArray) {
  const unsigned char form[] = {'a', '=', 0x00, 0xFF, 0x93, 0xFA, '&'};
  struct CRow {
    uint16_t uType;
    const unsigned char* pBytes;
    size_t uCount;
    size_t uExpected;
  };
  const CRow rows[] = {
      {0x2011, form, sizeof form, sizeof form},  // array of bytes
      {0x200C, form, sizeof form, sizeof form},  // array of variants: taken as bytes all the same
      {0x2000, form, 3, 3},                      // only the element count is copied
      {0x2011, form, 0, 0},                      // an empty array
      {0x2011, nullptr, 0, 0},
      {0x0000, form, sizeof form, 0},  // no data
      {0x0008, form, sizeof form, 0},  // a text, not an array
      {0x0011, form, sizeof form, 0},  // a single byte
  };
  for (const CRow& row : rows) {
    std::vector<unsigned char> bytes = {9, 9};
    vGetPostedData({row.uType, row.pBytes, row.uCount}, bytes);
    EXPECT_EQ(bytes, std::vector<unsigned char>(form, form + row.uExpected)) << std::hex << row.uType;
  }
}

TEST(HostArgs, NullTextIsEmpty) {
  EXPECT_EQ(strEventText(nullptr), "");
  EXPECT_EQ(strEventText(""), "");
  EXPECT_EQ(strEventText("http://host/%41"), "http://host/%41");
}

TEST(HostArgs, CancelFlagGoesBackAsMinusOneOrZero) {
  const struct {
    BOOL bCancel;
    int16_t iEngine;
  } rows[] = {{FALSE, 0}, {TRUE, -1}, {-1, -1}, {2, -1}, {0x10000, -1}};
  for (const auto& row : rows) {
    EXPECT_EQ(iEngineCancel(row.bCancel), row.iEngine) << row.bCancel;
    int16_t iFlag = 5;
    vWriteEngineCancel(row.bCancel, &iFlag);
    EXPECT_EQ(iFlag, row.iEngine);
  }
  vWriteEngineCancel(TRUE, nullptr);  // no flag passed: nothing is written
}

}  // namespace
