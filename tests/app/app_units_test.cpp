// Tests of the application shell's units: command line, terminate handler, settings file reader,
// registry wrapper and the feature-control start-up sequence.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/ie_reg.h"
#include "app/ini_file.h"
#include "app/tarvenix_app.h"
#include "app/tarvenix_cmd_line.h"
#include "common/log_file.h"
#include "platform/application.h"
#include "platform/module_path.h"
#include "tests/app/run_support.h"

namespace {

std::string strTempFile() {
  std::string path;
  EXPECT_TRUE(platform::fCreateTempFile("~", path));
  return path;
}

std::string strReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(TarvenixCmdLine, TakesTheAddressAfterTheUrlFlag) {
  struct Case {
    std::vector<std::string> words;
    const char* url;
  } cases[] = {
      {{"/URL", "http://a/"}, "http://a/"},
      {{"-URL", "http://a/"}, "http://a/"},
      {{"/url", "http://a/"}, ""},                                // case-sensitive
      {{"/URL"}, ""},                                             // flag as the last word
      {{"/URL", "/x", "http://a/"}, "http://a/"},                 // another flag keeps it pending
      {{"/URL", "http://a/", "-URL", "http://b/"}, "http://b/"},  // the last address wins
      {{"http://a/"}, ""},                                        // no flag, no address
      {{"/URL", "http://a/", "http://b/"}, "http://a/"},          // one address per flag
      {{}, ""},
  };
  for (const Case& c : cases) {
    CTarvenixCmdLine cmd;
    platform::vParseWords(c.words, cmd);
    EXPECT_EQ(cmd.m_strUrl, c.url) << (c.words.empty() ? "" : c.words[0]) << " " << c.words.size();
  }
  CTarvenixCmdLine cmd;
  platform::vParseWords({"first", "/URL", "http://a/"}, cmd);
  EXPECT_EQ(cmd.m_strFileName, "first");  // the framework still sees every word
}

// An application that records the framework's calls.
class CRecordingApp : public platform::CApplication {
 public:
  explicit CRecordingApp(BOOL bInit, int iExit) : m_bInit(bInit), m_iExit(iExit) {}
  BOOL InitInstance() override {
    m_calls += "init ";
    CTarvenixCmdLine cmd;
    ParseCommandLine(cmd);
    m_strUrl = cmd.m_strUrl;
    return m_bInit;
  }
  int ExitInstance() override {
    m_calls += "exit ";
    return m_iExit;
  }
  BOOL m_bInit;
  int m_iExit;
  std::string m_calls, m_strUrl;
};

TEST(Application, RunsInitThenRunThenExitAndFailsWithANonZeroStatus) {
  struct Case {
    BOOL bInit;
    int iExit;
    const char* calls;
    int status;
  } cases[] = {
      {TRUE, 0, "init exit ", 0}, {TRUE, 3, "init exit ", 3}, {FALSE, 0, "init exit ", 1}, {FALSE, 5, "init exit ", 5}};
  for (const Case& c : cases) {
    CRecordingApp app(c.bInit, c.iExit);
    EXPECT_EQ(platform::CApplication::pGetApp(), &app);
    EXPECT_EQ(app.iRunApplication({"URL", "/URL", "http://a/"}), c.status);  // the first word is the program
    EXPECT_EQ(app.m_calls, c.calls);
    EXPECT_EQ(app.m_strUrl, "http://a/");
  }
  EXPECT_EQ(platform::CApplication::pGetApp(), nullptr);
}

TEST(TarvenixApp, TerminateHandlerSetsTheFlagForSignal15Only) {
  g_bSigTerm = 0;
  vOnSigTerm(2);
  vOnSigTerm(-15);
  EXPECT_EQ(g_bSigTerm.load(), 0);
  vOnSigTerm(15);
  vOnSigTerm(15);
  EXPECT_EQ(g_bSigTerm.load(), 1);
}

TEST(IniFile, ConvertsLikeStrtolAndCutsLongValues) {
  std::string path = strTempFile();
  std::ofstream(path, std::ios::binary) << "[Setting]\nA= 12abc\nB=abc\nC=-7\nD=+5\nE=99999999999\nF=-99999999999\n"
                                        << "G=\nBlank=" << std::string(300, 'b') << "\n";
  CIniFile ini;
  ini.m_strFile = path;
  struct Case {
    const char* key;
    int value;
  } cases[] = {{"A", 12}, {"B", 0}, {"C", -7}, {"D", 5}, {"E", INT_MAX}, {"F", INT_MIN}, {"G", 0}, {"Missing", -1}};
  for (const Case& c : cases) {
    int value = 12345;
    EXPECT_TRUE(ini.fGetInt(c.key, value));
    EXPECT_EQ(value, c.value) << c.key;
  }
  std::string blank;
  EXPECT_TRUE(ini.fGetString("Blank", blank, "None"));
  EXPECT_EQ(blank, std::string(259, 'b'));
  EXPECT_TRUE(ini.fGetString("Nothing", blank, "None"));
  EXPECT_EQ(blank, "None");
  std::remove(path.c_str());
  EXPECT_TRUE(ini.fGetInt("A", cases[0].value));
  EXPECT_EQ(cases[0].value, -1);  // no file: every key missing
}

TEST(IniFile, WritesNumbersAndCreatesTheFile) {
  std::string path = strTempFile();
  std::remove(path.c_str());
  CIniFile ini;
  ini.m_strFile = path;
  EXPECT_TRUE(ini.fSetInt("DetectPos", -2147483647 - 1));
  EXPECT_TRUE(ini.fSetString("Blank", "\"\""));
  int value = 0;
  ini.fGetInt("DetectPos", value);
  EXPECT_EQ(value, INT_MIN);
  std::string blank = "x";
  ini.fGetString("Blank", blank, "None");
  EXPECT_EQ(blank, "");
  std::remove(path.c_str());
}

// Feature keys in memory: records every base operation and fails the one it is told to.
class CFakeIeReg : public CIeReg {
 public:
  explicit CFakeIeReg(std::string failing) : m_strFailing(std::move(failing)) {}
  BOOL fIsKey(platform::RegKey, const char* pszPath) override { return fDo("is", pszPath); }
  BOOL fCreateKey(platform::RegKey, const char* pszPath, const char*) override {
    if (!fDo("create", pszPath)) return FALSE;
    m_keys.insert(pszPath);
    return TRUE;
  }
  BOOL fWriteDword(uint32_t uValue, const char* pszName, platform::RegKey hRoot, const char* pszPath,
                   uint32_t uType) override {
    EXPECT_STREQ(pszName, "Tarvenix.exe");
    EXPECT_EQ(hRoot, platform::REGKEY_CURRENT_USER);
    EXPECT_EQ(uType, platform::REGTYPE_DWORD);
    return fDo("write", pszPath, "=" + std::to_string(uValue));
  }
  BOOL fDo(const std::string& op, const std::string& path, const std::string& extra = "") {
    std::string name = path.substr(path.find_last_of('\\') + 1);
    m_calls.push_back(op + " " + name + extra);
    if (op == "is") return m_keys.count(path) ? TRUE : FALSE;
    return (op + " " + name) == m_strFailing ? FALSE : TRUE;
  }
  std::string m_strFailing;
  std::set<std::string> m_keys;
  std::vector<std::string> m_calls;
};

TEST(IeReg, StartUpSequenceRunsInOrderAndStopsAtTheFirstFailure) {
  const std::vector<std::string> all = {"is FeatureControl",
                                        "create FeatureControl",
                                        "is FEATURE_BROWSER_EMULATION",
                                        "create FEATURE_BROWSER_EMULATION",
                                        "write FEATURE_BROWSER_EMULATION=9000",
                                        "is FEATURE_NINPUT_LEGACYMODE",
                                        "create FEATURE_NINPUT_LEGACYMODE",
                                        "write FEATURE_NINPUT_LEGACYMODE=0",
                                        "is FEATURE_GPU_RENDERING",
                                        "create FEATURE_GPU_RENDERING",
                                        "write FEATURE_GPU_RENDERING=1",
                                        "is FEATURE_MAXCONNECTIONSPER1_0SERVER",
                                        "create FEATURE_MAXCONNECTIONSPER1_0SERVER",
                                        "is FEATURE_MAXCONNECTIONSPERSERVER",
                                        "create FEATURE_MAXCONNECTIONSPERSERVER",
                                        "write FEATURE_MAXCONNECTIONSPER1_0SERVER=10",
                                        "write FEATURE_MAXCONNECTIONSPERSERVER=10",
                                        "is FEATURE_ALIGNED_TIMERS",
                                        "create FEATURE_ALIGNED_TIMERS",
                                        "is FEATURE_ALLOW_HIGHFREQ_TIMERS",
                                        "create FEATURE_ALLOW_HIGHFREQ_TIMERS",
                                        "write FEATURE_ALIGNED_TIMERS=1",
                                        "write FEATURE_ALLOW_HIGHFREQ_TIMERS=1"};
  struct Case {
    const char* failing;
    const char* message;
  } cases[] = {
      {"", ""},
      {"create FeatureControl", "IE future controlレジストリ作成に失敗\n"},
      {"create FEATURE_BROWSER_EMULATION", "IE Emurate Versionレジストリ作成に失敗\n"},
      {"write FEATURE_BROWSER_EMULATION", "IE Emurate Versionレジストリ設定に失敗\n"},
      {"create FEATURE_NINPUT_LEGACYMODE", "IE レガシーモードレジストリ作成に失敗\n"},
      {"write FEATURE_NINPUT_LEGACYMODE", "IE レガシーモードレジストリ設定に失敗\n"},
      {"create FEATURE_GPU_RENDERING", "IE GPU支援レジストリ作成に失敗\n"},
      {"write FEATURE_GPU_RENDERING", "IE GPU支援レジストリ設定に失敗\n"},
      {"create FEATURE_MAXCONNECTIONSPERSERVER", "IE 同時接続数レジストリ作成に失敗\n"},
      {"write FEATURE_MAXCONNECTIONSPER1_0SERVER", "IE 同時接続数レジストリ設定に失敗\n"},
      {"create FEATURE_ALLOW_HIGHFREQ_TIMERS", "IE 電源設定と連動レジストリ作成に失敗\n"},
      {"write FEATURE_ALLOW_HIGHFREQ_TIMERS", "IE 電源設定と連動レジストリ設定に失敗\n"},
  };
  for (const Case& c : cases) {
    std::string logPath = strTempFile();
    CSystemLog log;
    log.fOpen(logPath);
    CFakeIeReg reg(c.failing);
    BOOL ok = fSetupIeFeatureControl(reg, 2, log);
    EXPECT_EQ(ok, c.failing[0] == '\0') << c.failing;
    // The calls are those of the full sequence up to and including the failing one.
    std::vector<std::string> expected;
    for (const std::string& call : all) {
      expected.push_back(call);
      if (!std::string(c.failing).empty() && call.rfind(c.failing, 0) == 0) break;
    }
    EXPECT_EQ(reg.m_calls, expected) << c.failing;
    std::string text = strReadFile(logPath);
    if (c.message[0] == '\0') {
      EXPECT_EQ(text, "") << c.failing;
    } else {
      EXPECT_EQ(text.rfind("\"Error\",", 0), 0u) << text;
      // The message, then the platform's line end.
      EXPECT_NE(text.find(std::string(c.message).substr(0, std::string(c.message).size() - 1)), std::string::npos)
          << c.failing;
    }
    std::remove(logPath.c_str());
  }
  EXPECT_EQ(uIeEmulationValue(0), 7000u);
  EXPECT_EQ(uIeEmulationValue(3), 10000u);
  EXPECT_EQ(uIeEmulationValue(-1), 11000u);
  EXPECT_EQ(uIeEmulationValue(INT_MIN), 11000u);
}

TEST(RegOpr, EveryOperationOnTheRealRegistry) {
  std::string dir = strTempFile();
  std::remove(dir.c_str());
  vUseRegistryIn(dir);  // Linux: a private store; Windows: the prefix's registry, under a key of our own
  const platform::RegKey cu = platform::REGKEY_CURRENT_USER;
  const std::string parent = "Software\\TarvenixTest";
  const std::string key = parent + "\\" + std::to_string(std::rand());
  CRegOpr reg;
  EXPECT_FALSE(reg.fIsKey(cu, key.c_str()));
  uint32_t dword = 0;
  EXPECT_FALSE(reg.fWriteDword(1, "v", cu, key.c_str(), platform::REGTYPE_DWORD));  // no key yet
  ASSERT_TRUE(reg.fCreateKey(cu, key.c_str(), nullptr));
  EXPECT_TRUE(reg.fCreateKey(cu, key.c_str(), nullptr));  // opens it when it exists
  EXPECT_TRUE(reg.fIsKey(cu, key.c_str()));

  EXPECT_TRUE(reg.fWriteDword(0x12345678, "Tarvenix.exe", cu, key.c_str(), platform::REGTYPE_DWORD));
  EXPECT_TRUE(reg.fWriteDword(7, "tarvenix.EXE", cu, key.c_str(), platform::REGTYPE_DWORD));  // same value
  EXPECT_TRUE(reg.fReadDword(dword, "Tarvenix.exe", cu, key.c_str()));
  EXPECT_EQ(dword, 7u);
  EXPECT_FALSE(reg.fReadDword(dword, "missing", cu, key.c_str()));

  const unsigned char bytes[] = {0, 1, 2, 0xFF, 0};
  EXPECT_TRUE(reg.fWriteBinary(bytes, "bin", sizeof bytes, cu, key.c_str()));
  unsigned char out[8] = {};
  uint32_t size = 2;
  EXPECT_FALSE(reg.fReadBinary(out, "bin", size, cu, key.c_str()));  // too little room
  EXPECT_EQ(size, sizeof bytes);
  size = sizeof out;
  EXPECT_TRUE(reg.fReadBinary(out, "bin", size, cu, key.c_str()));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), size), std::string(reinterpret_cast<const char*>(bytes), 5));

  std::string text;
  EXPECT_TRUE(reg.fWriteString("about:blank", "", cu, key.c_str(), platform::REGTYPE_SZ));
  EXPECT_TRUE(reg.fReadString(text, "", cu, key.c_str()));
  EXPECT_EQ(text, "about:blank");

  ASSERT_TRUE(reg.fCreateKey(cu, (key + "\\child").c_str(), nullptr));
  EXPECT_TRUE(reg.fDeleteKey("child", cu, key.c_str()));
  EXPECT_FALSE(reg.fIsKey(cu, (key + "\\child").c_str()));
  EXPECT_TRUE(reg.fDeleteKey(key.substr(parent.size() + 1).c_str(), cu, parent.c_str()));
  EXPECT_FALSE(reg.fIsKey(cu, key.c_str()));
  EXPECT_FALSE(reg.fDeleteKey("child", cu, key.c_str()));
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

TEST(RegOpr, KeyWithoutAccessCanNeitherBeOpenedNorCreatedNorWritten) {
  std::string dir = strTempFile();
  std::remove(dir.c_str());
  vUseRegistryIn(dir);
  const std::string key = "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_TARVENIX_TEST";
  CRegOpr reg;
  ASSERT_TRUE(fBlockFeature("FEATURE_TARVENIX_TEST", true));
  BOOL is = reg.fIsKey(platform::REGKEY_CURRENT_USER, key.c_str());
  BOOL created = reg.fCreateKey(platform::REGKEY_CURRENT_USER, key.c_str(), nullptr);
  BOOL written =
      reg.fWriteDword(1, "Tarvenix.exe", platform::REGKEY_CURRENT_USER, key.c_str(), platform::REGTYPE_DWORD);
  ASSERT_TRUE(fBlockFeature("FEATURE_TARVENIX_TEST", false));
  EXPECT_FALSE(is);
  EXPECT_FALSE(created);
  EXPECT_FALSE(written);
  EXPECT_TRUE(reg.fWriteDword(1, "Tarvenix.exe", platform::REGKEY_CURRENT_USER, key.c_str(), platform::REGTYPE_DWORD));
  EXPECT_TRUE(fDeleteFeature("FEATURE_TARVENIX_TEST"));
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

}  // namespace
