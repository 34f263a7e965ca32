// Black-box tests of Tarvenix: the real program, copied into a fresh folder with an INI file, run
// to its end; its settings file, program log, access log and registry values are checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/module_path.h"
#include "tests/app/run_support.h"

namespace fs = std::filesystem;

namespace {

const char* const kKeys[] = {"FullScreen",
                             "NewWindow",
                             "RightButton",
                             "Scroll",
                             "IeVersion",
                             "AccessLog",
                             "MouseOn",
                             "TopMostLevel",
                             "GestureOff",
                             "GestureZoomOff",
                             "GesturePanOff",
                             "GestureRotateOff",
                             "GestureTwoFingerTapOff",
                             "GesturePressAndTapOff",
                             "Blank",
                             "DetectSize",
                             "DetectInterval",
                             "DetectPos"};
const char* const kDefaults[] = {"1", "1", "1", "1", "4", "0",    "1",   "0",    "0",
                                 "0", "0", "0", "0", "0", "\"\"", "100", "5000", "2"};

// The file the program writes from nothing, with replacements for some keys ("Key=text" lines,
// or "Key" alone to leave the key out).
std::string strIni(const std::vector<std::string>& changes = {}) {
  std::string eol = strLineEnd();
  std::string text = "[Setting]" + eol;
  for (size_t i = 0; i < std::size(kKeys); ++i) {
    std::string line = std::string(kKeys[i]) + "=" + kDefaults[i];
    for (const std::string& c : changes) {
      if (c == kKeys[i]) line.clear();
      if (c.rfind(std::string(kKeys[i]) + "=", 0) == 0) line = c;
    }
    if (!line.empty()) text += line + eol;
  }
  for (const std::string& c : changes) {
    if (c.rfind("Debug=", 0) == 0) text += c + eol;
  }
  return text;
}

struct LogLine {
  std::string strLevel, strMessage;
  bool operator==(const LogLine& o) const { return strLevel == o.strLevel && strMessage == o.strMessage; }
};

void PrintTo(const LogLine& line, std::ostream* os) { *os << line.strLevel << ":" << line.strMessage; }

std::string strRead(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void vWrite(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// A folder holding a copy of the program, removed with the test.
class TarvenixRun : public ::testing::Test {
 protected:
  void SetUp() override {
    char self[4096] = {};
    ASSERT_GT(platform::uGetModuleFileName(self, sizeof self), 0u);
    m_bin = fs::path(self).parent_path();
    std::random_device rd;
    m_dir = fs::temp_directory_path() / ("txrun" + std::to_string(rd()));
    fs::create_directories(m_dir);
    vUseRegistryIn((m_dir / "config").string());
    vInstall(strExeName("Tarvenix"));
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_dir, ec);
  }
  void vInstall(const std::string& name) {
    m_exe = m_dir / name;
    fs::copy_file(m_bin / strExeName("Tarvenix"), m_exe, fs::copy_options::overwrite_existing);
  }
  int iRun(const std::vector<std::string>& args = {}) { return iRunProgram(m_exe.string(), args); }
  fs::path ini() const { return m_dir / "Tarvenix.ini"; }

  // The entries of the month log (the one file named YYYYMM.log): level and message.
  std::vector<LogLine> log() {
    std::vector<LogLine> lines;
    for (const auto& e : fs::directory_iterator(m_dir)) {
      std::string name = e.path().filename().string();
      if (name.size() != 10 || name.substr(6) != ".log") continue;
      if (name.find_first_not_of("0123456789") != 6) continue;  // not TXHook.log
      std::string text = strRead(e.path());
      std::string eol = strLineEnd();
      for (std::string::size_type at = 0; at < text.size();) {
        std::string::size_type end = text.find(eol, at);
        if (end == std::string::npos) end = text.size();
        std::string entry = text.substr(at, end - at);
        at = end + eol.size();
        // "Level",YYYY/MM/DD hh:mm:ss.f,message
        std::string::size_type c1 = entry.find(','), c2 = entry.find(',', c1 + 1);
        EXPECT_TRUE(entry.size() > 2 && entry[0] == '"' && c2 != std::string::npos) << entry;
        if (c2 == std::string::npos) continue;
        lines.push_back({entry.substr(1, c1 - 2), entry.substr(c2 + 1) + "\n"});
      }
    }
    return lines;
  }
  static std::vector<LogLine> errors(const std::vector<std::string>& messages) {
    std::vector<LogLine> lines;
    for (const std::string& m : messages) lines.push_back({"Error", m});
    return lines;
  }

  fs::path m_bin, m_dir, m_exe;
};

TEST_F(TarvenixRun, FirstStartCompletesTheFileAndTheSecondStartIsQuiet) {
  ASSERT_EQ(iRun(), 0);
  EXPECT_EQ(strRead(ini()), strIni());
  std::vector<std::string> expected;
  for (const char* key : kKeys) expected.push_back(std::string("設定ファイル ") + key + "設定なし\n");
  EXPECT_EQ(log(), errors(expected));
  EXPECT_FALSE(fs::exists(m_dir / "access.log"));

  ASSERT_EQ(iRun(), 0);
  EXPECT_EQ(strRead(ini()), strIni());
  EXPECT_EQ(log(), errors(expected));  // nothing more
}

TEST_F(TarvenixRun, RepairsMissingValuesAndRefusesABadDetectPos) {
  struct Case {
    std::vector<std::string> before;  // changes to the complete file
    std::vector<std::string> after;   // changes in the file after the run (same as before: unchanged)
    std::vector<std::string> messages;
    bool bFails;
  } cases[] = {
      {{"FullScreen=-1"}, {}, {"設定ファイル FullScreen設定なし\n"}, false},
      {{"FullScreen="}, {"FullScreen="}, {}, false},
      {{"FullScreen=abc"}, {"FullScreen=abc"}, {}, false},
      {{"FullScreen=2147483648000"}, {"FullScreen=2147483648000"}, {}, false},
      {{"DetectPos=4"}, {"DetectPos=4"}, {"設定ファイル DetectPos不正\n", "設定ファイルロードに失敗\n"}, true},
      {{"DetectPos=-2"}, {"DetectPos=-2"}, {"設定ファイル DetectPos不正\n", "設定ファイルロードに失敗\n"}, true},
      {{"DetectPos=-1"}, {}, {"設定ファイル DetectPos設定なし\n"}, false},
      {{"DetectPos=3"}, {"DetectPos=3"}, {}, false},
      {{"Blank=None"}, {}, {"設定ファイル Blank設定なし\n"}, false},
      {{"Blank=none"}, {"Blank=none"}, {}, false},
      {{"fullscreen=0", "DETECTPOS=1"}, {"fullscreen=0", "DETECTPOS=1"}, {}, false},
      {{"Debug=-1"}, {"Debug=-1"}, {}, false},
      // A key that is missing goes to the end of the section, after the others.
      {{"Scroll"}, {"Scroll"}, {"設定ファイル Scroll設定なし\n"}, false},
  };
  for (const Case& c : cases) {
    std::string name = c.before.front();
    fs::remove(ini());
    for (const auto& e : fs::directory_iterator(m_dir)) {
      if (e.path().extension() == ".log") fs::remove(e.path());
    }
    vWrite(ini(), strIni(c.before));
    int status = iRun();
    EXPECT_EQ(status != 0, c.bFails) << name << " status " << status;
    std::string expected = strIni(c.after);
    if (name == "Scroll") expected += "Scroll=1" + strLineEnd();
    EXPECT_EQ(strRead(ini()), expected) << name;
    EXPECT_EQ(log(), errors(c.messages)) << name;
  }
}

TEST_F(TarvenixRun, ReadOnlySettingsFileMissingAKeyStopsTheProgram) {
  const std::string before = strIni({"MouseOn"});
  vWrite(ini(), before);
  ASSERT_TRUE(fMakeReadOnly(ini().string(), true));
  EXPECT_NE(iRun(), 0);
  EXPECT_EQ(strRead(ini()), before);
  EXPECT_EQ(log(),
            errors({"設定ファイル MouseOn設定なし\n", "設定ファイル MouseOn設定失敗\n", "設定ファイルロードに失敗\n"}));
  EXPECT_TRUE(fMakeReadOnly(ini().string(), false));
}

TEST_F(TarvenixRun, ReadOnlyFolderWithoutSettingsFileStopsAtTheFirstKey) {
  if (!fFolderPermissionsApply()) GTEST_SKIP() << "a read-only folder still takes new files here";
  fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_NE(iRun(), 0);
  fs::permissions(m_dir, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_FALSE(fs::exists(ini()));
  // The month log could not be created either: nothing to read, and nothing crashed.
}

TEST_F(TarvenixRun, TraceLinesOnlyWithDebugAndFromTheMainWindowOn) {
  vWrite(ini(), strIni({"Debug=0"}));
  ASSERT_EQ(iRun(), 0);
  EXPECT_EQ(log(), std::vector<LogLine>{});
  vWrite(ini(), strIni({"Debug=1"}));
  ASSERT_EQ(iRun(), 0);
  // The main window's own trace follows where the platform has one; nothing comes before.
  std::vector<LogLine> lines = log();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), (LogLine{"All", "メインウィンドウ生成\n"}));
}

TEST_F(TarvenixRun, AccessLogOffCreatesNoFile) {
  vWrite(ini(), strIni({"AccessLog=0", "Debug=1"}));
  ASSERT_EQ(iRun({"/URL", "http://example.com/"}), 0);
  EXPECT_FALSE(fs::exists(m_dir / "access.log"));
}

TEST_F(TarvenixRun, WritesTheFeatureValuesUnderTheFixedName) {
  struct Case {
    const char* version;
    uint32_t emulation;
  } cases[] = {{"0", 7000},  {"1", 8000},  {"2", 9000},   {"3", 10000},
               {"4", 11000}, {"5", 11000}, {"-5", 11000}, {"100", 11000}};
  vInstall(strExeName("Kiosk"));  // the value name stays "Tarvenix.exe"
  for (const Case& c : cases) {
    vWrite(ini(), strIni({std::string("IeVersion=") + c.version}));
    ASSERT_EQ(iRun(), 0) << c.version;
    uint32_t value = 0;
    EXPECT_TRUE(fQueryFeature("FEATURE_BROWSER_EMULATION", value) && value == c.emulation) << c.version;
  }
  struct Fixed {
    const char* feature;
    uint32_t value;
  } fixed[] = {{"FEATURE_NINPUT_LEGACYMODE", 0},
               {"FEATURE_GPU_RENDERING", 1},
               {"FEATURE_MAXCONNECTIONSPER1_0SERVER", 10},
               {"FEATURE_MAXCONNECTIONSPERSERVER", 10},
               {"FEATURE_ALIGNED_TIMERS", 1},
               {"FEATURE_ALLOW_HIGHFREQ_TIMERS", 1}};
  for (const Fixed& f : fixed) {
    uint32_t value = 99;
    EXPECT_TRUE(fQueryFeature(f.feature, value)) << f.feature;
    EXPECT_EQ(value, f.value) << f.feature;
  }
}

TEST_F(TarvenixRun, UnopenableFeatureKeyStopsTheProgramAfterTheStepsBefore) {
  vWrite(ini(), strIni({"IeVersion=1"}));
  for (const char* f :
       {"FEATURE_BROWSER_EMULATION", "FEATURE_NINPUT_LEGACYMODE", "FEATURE_MAXCONNECTIONSPER1_0SERVER"}) {
    ASSERT_TRUE(fDeleteFeature(f)) << f;
  }
  ASSERT_TRUE(fBlockFeature("FEATURE_GPU_RENDERING", true));
  int status = iRun();
  ASSERT_TRUE(fBlockFeature("FEATURE_GPU_RENDERING", false));
  EXPECT_NE(status, 0);
  EXPECT_EQ(log(), errors({"IE GPU支援レジストリ作成に失敗\n"}));
  uint32_t value = 0;
  EXPECT_TRUE(fQueryFeature("FEATURE_BROWSER_EMULATION", value) && value == 8000);
  EXPECT_TRUE(fQueryFeature("FEATURE_NINPUT_LEGACYMODE", value) && value == 0);
  EXPECT_FALSE(fQueryFeature("FEATURE_MAXCONNECTIONSPER1_0SERVER", value));
}

}  // namespace
