// Tests of CFilePath: the splitting rule, the joined texts, the locations and the file queries.
#include "common/file_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "test_files.h"

namespace {

using txtest::CScratchDir;
using txtest::vWriteFile;

bool fIsWindows() { return platform::cPathSeparator() == '\\'; }

struct Split {
  std::string path, drive, dir, fname, ext;
};

void vExpectSplit(const Split& c) {
  CFilePath path(c.path);
  EXPECT_EQ(path.m_strDrive, c.drive) << c.path;
  EXPECT_EQ(path.m_strDir, c.dir) << c.path;
  EXPECT_EQ(path.m_strFName, c.fname) << c.path;
  EXPECT_EQ(path.m_strExt, c.ext) << c.path;
}

TEST(FilePath, SplitsIntoDriveDirectoryNameAndExtension) {
  const Split cases[] = {
      {"C:\\dir\\name.tar.gz", "C:", "\\dir\\", "name.tar", ".gz"},
      {"\"C:\\dir\\name.tar.gz\"", "C:", "\\dir\\", "name.tar", ".gz"},
      {"\"C:\\dir\\name.tar.gz", "C:", "\\dir\\", "name.tar", ".gz"},
      {"C:\\dir\\name.tar.gz\"", "C:", "\\dir\\", "name.tar", ".gz"},
      {"\"a\"b\"", "", "", "a\"b", ""},
      {"\"", "", "", "", ""},
      {"\"\"", "", "", "", ""},
      {"", "", "", "", ""},
      {"name.txt", "", "", "name", ".txt"},
      {"c:/a/b\\c", "c:", "/a/b\\", "c", ""},
      {"/usr/lib/tarvenix", "", "/usr/lib/", "tarvenix", ""},
      {"dir.d/file", "", "dir.d/", "file", ""},
      {".profile", "", "", "", ".profile"},
      {"C:", "C:", "", "", ""},
      {"C:name", "C:", "", "name", ""},
      {"ab:c", "", "", "ab:c", ""},
      {"x\\", "", "x\\", "", ""},
  };
  for (const Split& c : cases) vExpectSplit(c);

  // Parts beyond 255 bytes are kept whole.
  std::string deep = "/" + std::string(300, 'd') + "/";
  vExpectSplit({deep + std::string(260, 'n') + ".log", "", deep, std::string(260, 'n'), ".log"});
}

TEST(FilePath, NeverSplitsInsideATwoByteCharacter) {
  if (!fIsWindows()) GTEST_SKIP() << "two-byte path characters exist only in the Windows code page";
  ASSERT_TRUE(platform::fIsLeadByte(0x83));
  // "\x83\x5C" is one CP932 character whose second byte is the backslash's code.
  const std::string so = "\x83\x5C";
  const Split cases[] = {
      {"C:\\" + so + "\\" + so + ".txt", "C:", "\\" + so + "\\", so, ".txt"},
      {"C:\\dir\\" + so, "C:", "\\dir\\", so, ""},
      {"C:\\" + so + so + "\\a.b", "C:", "\\" + so + so + "\\", "a", ".b"},
  };
  for (const Split& c : cases) vExpectSplit(c);
  EXPECT_EQ(CFilePath("C:\\" + so + "\\name.txt").strGetDir(), "C:\\" + so);
  EXPECT_EQ(CFilePath("C:\\dir\\" + so).strGetDir(), "C:\\dir");
}

TEST(FilePath, JoinedTexts) {
  const std::string slashDir = fIsWindows() ? "C:/dir/" : "C:/dir";  // a final slash stays on Windows
  const struct {
    std::string path, dir, fileName;
  } cases[] = {
      {"C:\\dir\\", "C:\\dir", ""},
      {"C:\\", "C:", ""},
      {"C:", "C:", ""},
      {"C:\\dir\\name.txt", "C:\\dir", "name.txt"},
      {"name.txt", "", "name.txt"},
      {"", "", ""},
      {"C:/dir/", slashDir, ""},
  };
  for (const auto& c : cases) {
    CFilePath path(c.path);
    EXPECT_EQ(path.strGetDir(), c.dir) << c.path;
    EXPECT_EQ(path.strGetFileName(), c.fileName) << c.path;
    EXPECT_EQ(path.strGetFullPath(), c.path) << c.path;
  }

  CFilePath path("C:\\a\\b.txt");
  path.vSetFileName("other\\c.log");
  EXPECT_EQ(path.strGetFullPath(), "C:\\a\\c.log");
  path.vSetDriveDir("D:\\x\\ignored.name");
  EXPECT_EQ(path.strGetFullPath(), "D:\\x\\c.log");
  path.vSetPath("\"");
  EXPECT_EQ(path.strGetFullPath(), "");
}

TEST(FilePath, ProgramLocationIsThisTestProgram) {
  CFilePath file(FP_MODULE_FILE);
  EXPECT_TRUE(file.fIsExist()) << file.strGetFullPath();
  EXPECT_EQ(file.m_strFName, "test_common");

  CFilePath dir(FP_MODULE_DIR), byDefault;
  EXPECT_EQ(dir.strGetFullPath(), file.m_strDrive + file.m_strDir);
  EXPECT_EQ(dir.strGetFileName(), "");
  EXPECT_EQ(byDefault.strGetFullPath(), dir.strGetFullPath());
  // The tests run in the folder that holds their programs.
  std::error_code error;
  std::filesystem::path cwd = std::filesystem::current_path(error);
  EXPECT_TRUE(std::filesystem::equivalent(dir.strGetDir(), cwd, error))
      << dir.strGetDir() << " against " << cwd.string() << ": " << error.message();
  EXPECT_NE(dir.strGetDir().back(), platform::cPathSeparator());
}

TEST(FilePath, MachineLocations) {
  for (int kind : {FP_WINDOWS_DIR, FP_SYSTEM_DIR, FP_TEMP_DIR}) {
    CFilePath dir(kind);
    EXPECT_EQ(dir.strGetFileName(), "") << kind;
    ASSERT_FALSE(dir.m_strDir.empty()) << kind;
    EXPECT_EQ(dir.m_strDir.back(), platform::cPathSeparator()) << kind;
    EXPECT_TRUE(txtest::fIsDirectory(dir.strGetDir())) << kind << " " << dir.strGetDir();
  }
  for (int kind : {FP_DESKTOP, FP_FAVORITES}) {
    CFilePath dir(kind);
    EXPECT_EQ(dir.strGetFileName(), "") << kind;
    if (!dir.m_strDir.empty()) {
      EXPECT_EQ(dir.m_strDir.back(), platform::cPathSeparator()) << kind;
    }
  }

  CFilePath temp(FP_TEMP_FILE);
  EXPECT_TRUE(temp.fIsExist()) << temp.strGetFullPath();
  EXPECT_EQ(temp.m_strFName.substr(0, 1), "~");
  EXPECT_EQ(platform::fDeleteFile(temp.strGetFullPath().c_str()), TRUE);

  for (int kind : {0, 9, -1}) EXPECT_EQ(CFilePath(kind).strGetFullPath(), "") << kind;
}

TEST(FilePath, ExistsOnlyForRegularFiles) {
  CScratchDir dir;
  std::string file = dir / "present.txt";
  vWriteFile(file, "x\n");
  EXPECT_TRUE(CFilePath(file).fIsExist());
  EXPECT_TRUE(CFilePath("\"" + file + "\"").fIsExist());
  EXPECT_FALSE(CFilePath(dir.strPath()).fIsExist());
  EXPECT_FALSE(CFilePath(dir / "absent.txt").fIsExist());
}

TEST(FilePath, LongPathNamesEveryComponentAsStored) {
  CScratchDir dir;
  std::string folder = dir / "A long folder name";
  std::filesystem::create_directory(folder);
  std::string file = folder + platform::cPathSeparator() + "File.name.txt";
  vWriteFile(file, "x\n");

  std::string longPath = "previous";
  ASSERT_TRUE(CFilePath::fGetLongPath(file, longPath));
  EXPECT_EQ(longPath, file);
  ASSERT_TRUE(CFilePath::fGetLongPath(folder, longPath));
  EXPECT_EQ(longPath, folder);

  if (fIsWindows()) {
    // Names are looked up without regard to case and come back as stored.
    std::string upper = dir.strPath() + "\\A LONG FOLDER NAME\\FILE.NAME.TXT";
    ASSERT_TRUE(CFilePath::fGetLongPath(upper, longPath));
    EXPECT_EQ(longPath.substr(longPath.size() - 33), "\\A long folder name\\File.name.txt");
  }

  // A name alone, found in the working folder (the tests run beside their programs), stays alone.
  std::string self = CFilePath(FP_MODULE_FILE).strGetFileName();
  ASSERT_TRUE(CFilePath::fGetLongPath(self, longPath));
  EXPECT_EQ(longPath, self);

  longPath = "previous";
  EXPECT_FALSE(CFilePath::fGetLongPath(folder + platform::cPathSeparator() + "absent", longPath));
  EXPECT_EQ(longPath, "");
  EXPECT_FALSE(CFilePath::fGetLongPath(folder + platform::cPathSeparator(), longPath));
  EXPECT_FALSE(CFilePath::fGetLongPath("", longPath));
}

}  // namespace
