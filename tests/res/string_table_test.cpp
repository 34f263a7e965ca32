// The program's string table as the program reads it (Windows: the executable's own string
// table, compiled from the resource script; Linux: the texts as data): every text and the cuts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "res/resource.h"

namespace {

TEST(StringTable, EveryNumberGivesItsText) {
  struct Case {
    unsigned int uId;
    const char* pszText;
  } cases[] = {
      {100, "OLE の初期化に失敗しました。OLE ライブラリのバージョンが正しいことを確認してください。"},
      {128, "Tarvenix"},
      {50000, "終了しますか?"},
      {57344, "Tarvenix"},
  };
  for (const Case& c : cases) {
    char buffer[256] = {};
    EXPECT_EQ(iLoadResString(c.uId, buffer, sizeof buffer), static_cast<int>(std::strlen(c.pszText))) << c.uId;
    EXPECT_EQ(std::string(buffer), c.pszText) << c.uId;
  }
}

TEST(StringTable, UnknownNumbersAndSmallBuffers) {
  char buffer[8] = "x";
  EXPECT_EQ(iLoadResString(50001, buffer, sizeof buffer), 0);
  EXPECT_EQ(iLoadResString(51000, buffer, sizeof buffer), 0);
  // Cut to the buffer less one byte, and terminated.
  EXPECT_EQ(iLoadResString(128, buffer, 5), 4);
  EXPECT_EQ(std::string(buffer), "Tarv");
  EXPECT_EQ(iLoadResString(128, buffer, 0), 0);
  EXPECT_EQ(iLoadResString(128, nullptr, 8), 0);
}

}  // namespace
