// Tests of the platform's file-system queries and module path.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/module_path.h"

namespace {

TEST(FileSystem, RegularFileIsNotADirectory) {
  std::string path;
  ASSERT_TRUE(platform::fCreateTempFile("~", path));
  EXPECT_TRUE(platform::fIsRegularFile(path.c_str()));
  std::string dir = path.substr(0, path.find_last_of(platform::cPathSeparator()));
  EXPECT_FALSE(platform::fIsRegularFile(dir.c_str()));
  EXPECT_TRUE(platform::fDeleteFile(path.c_str()));
  EXPECT_FALSE(platform::fIsRegularFile(path.c_str()));
  EXPECT_FALSE(platform::fDeleteFile(path.c_str()));
}

TEST(FileSystem, TempFilesAreUniqueAndKeepTheirPrefix) {
  std::string a, b;
  ASSERT_TRUE(platform::fCreateTempFile("~", a));
  ASSERT_TRUE(platform::fCreateTempFile("~", b));
  EXPECT_NE(a, b);
  std::string name;
  ASSERT_TRUE(platform::fFindEntryName(a.c_str(), name));
  EXPECT_EQ(name[0], '~');
  std::remove(a.c_str());
  std::remove(b.c_str());
  EXPECT_FALSE(platform::fFindEntryName(a.c_str(), name));
}

TEST(ModulePath, ReportsCutNamesWithTheBufferSize) {
  char full[1024] = {};
  unsigned int len = platform::uGetModuleFileName(full, sizeof full);
  ASSERT_GT(len, 5u);
  ASSERT_LT(len, sizeof full);
  EXPECT_NE(std::string(full).find("test_platform"), std::string::npos);
  char small[4] = {};
  EXPECT_EQ(platform::uGetModuleFileName(small, sizeof small), sizeof small);
  EXPECT_EQ(std::string(small), std::string(full, 3));
}

}  // namespace
