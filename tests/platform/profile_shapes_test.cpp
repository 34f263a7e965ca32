// The settings files operators really have, through the private profile service: one table of
// files with the answers of Windows' own profile functions. The Windows trees check the table
// against the Win32 calls under Wine, the Linux tree holds its own engine to the same answers.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/profile.h"

namespace {

using namespace std::string_literals;

// Narrow literals are the platform's own text (CP932 on Windows, UTF-8 on Linux): an expected value
// in Japanese is the same text on both. UTF-16 and UTF-8 files are built from u"" and u8"".
std::string strUtf16(const std::u16string& text, bool bBigEndian = false, bool bMark = true) {
  std::string bytes = bMark ? (bBigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
  for (char16_t c : text) {
    char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
    bytes += bBigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

std::string strUtf8(const std::u8string& text) { return std::string(text.begin(), text.end()); }

const char* const S = "Setting";
const char* const D = nullptr;  // the key reads as missing: the default comes back

struct Lookup {
  const char* pszSection;
  const char* pszKey;
  const char* pszExpected;  // D: the default
  unsigned int uSize = 260;
};

struct ShapeFile {
  const char* pszName;
  std::string strText;
  std::vector<Lookup> lookups;
};

// The seed's settings file as the Windows program writes it, in the given line end.
std::string strSeed(const std::string& eol) {
  std::string text = "[Setting]" + eol;
  for (const char* line : {"Debug=0", "FullScreen=1", "NewWindow=1", "RightButton=1", "Scroll=1", "IeVersion=4",
                           "AccessLog=0", "MouseOn=1", "TopMostLevel=0", "GestureOff=0", "Blank=\"\"", "DetectSize=100",
                           "DetectInterval=5000", "DetectPos=2"}) {
    text += line + eol;
  }
  return text;
}
const std::u16string SEED16 =
    u"[Setting]\r\nDebug=0\r\nFullScreen=1\r\nScroll=0\r\nBlank=\"http://intra.example/kiosk/\"\r\n"
    u"DetectPos=3\r\n";
const std::vector<Lookup> SEED_READS = {
    {S, "FullScreen", "1"}, {S, "Blank", ""}, {S, "DetectPos", "2"}, {S, "DetectInterval", "5000"}, {S, "Zoom", D}};
const std::vector<Lookup> SEED16_READS = {{S, "FullScreen", "1"},
                                          {S, "Scroll", "0"},
                                          {S, "Blank", "http://intra.example/kiosk/"},
                                          {S, "DetectPos", "3"},
                                          {S, "MouseOn", D}};

const std::string LONG_VALUE(300, 'v');
const std::string LONG_VALUE_CUT = LONG_VALUE.substr(0, 259);

std::vector<ShapeFile> shapes() {
  return {
      // What operators' editors save.
      {"seed, CR LF", strSeed("\r\n"), SEED_READS},
      {"seed, LF", strSeed("\n"), SEED_READS},
      {"seed, CR alone", strSeed("\r"), SEED_READS},
      {"seed, mixed line ends", "[Setting]\r\nFullScreen=1\nBlank=\"\"\rDetectPos=2\r\nDetectInterval=5000",
       SEED_READS},
      {"seed, UTF-8 with byte-order mark", "\xEF\xBB\xBF" + strSeed("\r\n"), SEED_READS},
      {"seed, UTF-8 with byte-order mark, CR alone", "\xEF\xBB\xBF" + strSeed("\r"), SEED_READS},
      {"seed, Ctrl-Z at the end", strSeed("\r\n") + "\x1A", SEED_READS},
      {"Notepad Unicode", strUtf16(SEED16), SEED16_READS},
      {"Notepad Unicode big endian", strUtf16(SEED16, true), SEED16_READS},
      {"UTF-16 with LF",
       strUtf16(u"[Setting]\nFullScreen=1\nScroll=0\n"),
       {{S, "FullScreen", "1"}, {S, "Scroll", "0"}}},
      {"UTF-16 with CR alone",
       strUtf16(u"[Setting]\rFullScreen=1\rScroll=0"),
       {{S, "FullScreen", "1"}, {S, "Scroll", "0"}}},
      {"UTF-16 without byte-order mark",
       strUtf16(u"[Setting]\r\nFullScreen=1\r\n", false, false),
       {{S, "FullScreen", D}}},
      {"UTF-16 Japanese",
       strUtf16(u"[Setting]\r\nBlank=file:///C:/案内/index.html\r\n[設定]\r\n画面=全体\r\n"),
       {{S, "Blank", "file:///C:/案内/index.html"}, {"設定", "画面", "全体"}}},
      {"UTF-16 odd last byte", strUtf16(u"[Setting]\r\nFullScreen=1\r\n") + "Q", {{S, "FullScreen", "1"}, {S, "Q", D}}},
      {"UTF-16 lone surrogate",
       strUtf16(u"[Setting]\r\nBlank=a\xD800"
                u"b\r\nScroll=0\r\n"),
       {{S, "Blank", "a?b"}, {S, "Scroll", "0"}}},
      {"UTF-16 NUL character",
       strUtf16(u"[Setting]\r\nBlank=a"s + u'\0' + u"b\r\nScroll=0\r\n"),
       {{S, "Blank", "a"}, {S, "Scroll", "0"}}},
      {"UTF-16 Ctrl-Z at the end", strUtf16(u"[Setting]\r\nFullScreen=1\x1A"), {{S, "FullScreen", "1"}}},
      {"UTF-16 byte-order mark only", "\xFF\xFE", {{S, "FullScreen", D}}},
      {"UTF-8 byte-order mark only", "\xEF\xBB\xBF", {{S, "FullScreen", D}}},
      {"UTF-8 with mark, Japanese",
       strUtf8(u8"\xEF\xBB\xBF[Setting]\r\nBlank=file:///C:/案内/\r\n"),
       {{S, "Blank", "file:///C:/案内/"}}},
      {"two UTF-8 byte-order marks", "\xEF\xBB\xBF\xEF\xBB\xBF[Setting]\r\nFullScreen=1\r\n", {{S, "FullScreen", D}}},
      {"empty file", "", {{S, "FullScreen", D}}},
      {"no final line end", "[Setting]\nFullScreen=1", {{S, "FullScreen", "1"}}},
      {"blank lines with blanks", "\r\n   \r\n\t\r\n[Setting]\r\n\r\nFullScreen=1\r\n\r\n", {{S, "FullScreen", "1"}}},
      {"tabs aligning the values",
       "[Setting]\r\nFullScreen\t\t= 1\r\nScroll\t= 0\t\r\n",
       {{S, "FullScreen", "1"}, {S, "Scroll", "0"}}},
      {"Japanese value",
       "[Setting]\r\nBlank=file:///C:/案内/index.html\r\n",
       {{S, "Blank", "file:///C:/案内/index.html"}}},
      {"Japanese section and key",
       "[設定]\r\n画面=全体\r\n[Setting]\r\n画面=x\r\n",
       {{"設定", "画面", "全体"}, {S, "画面", "x"}}},
      {"other sections around",
       "[Other]\r\nFullScreen=9\r\n[Setting]\r\nFullScreen=1\r\n[Another]\r\nFullScreen=8\r\n",
       {{S, "FullScreen", "1"}, {"Other", "FullScreen", "9"}, {"another", "fullscreen", "8"}}},

      // Keys without "=".
      {"key without equals hides the later one",
       "[Setting]\r\nFullScreen\r\nFullScreen=1\r\nScroll=0\r\n",
       {{S, "FullScreen", D}, {S, "Scroll", "0"}}},
      {"key without equals after the key", "[Setting]\r\nFullScreen=1\r\nFullScreen\r\n", {{S, "FullScreen", "1"}}},
      {"key without equals, blanks around", "[Setting]\r\n  FullScreen \t\r\nFullScreen=1\r\n", {{S, "FullScreen", D}}},
      {"section line without bracket is a key",
       "[Setting]\r\n[Other\r\nFullScreen=1\r\n",
       {{S, "FullScreen", "1"}, {S, "[Other", D}, {"Other", "FullScreen", D}}},
      {"no section header at all", "[Setting\r\nFullScreen=1\r\n", {{S, "FullScreen", D}, {"", "FullScreen", "1"}}},

      // Section headers.
      {"double closing bracket",
       "[Setting]]\r\nFullScreen=1\r\n",
       {{S, "FullScreen", D}, {"Setting]", "FullScreen", "1"}}},
      {"double bracket after the real one",
       "[Setting]\r\nScroll=0\r\n[Setting]]\r\nFullScreen=1\r\n",
       {{S, "Scroll", "0"}, {S, "FullScreen", D}}},
      {"name up to the last bracket",
       "[Setting] main ]x\r\nFullScreen=1\r\n",
       {{S, "FullScreen", D}, {"Setting] main", "FullScreen", "1"}}},
      {"text after the bracket", "  [Setting]  ; main\r\nFullScreen=1\r\n", {{S, "FullScreen", "1"}}},
      {"blanks inside the brackets", "[ \tSetting  ]\r\n  FullScreen  =  1  \r\n", {{S, "FullScreen", "1"}}},
      {"double opening bracket",
       "[[Setting]]\r\nFullScreen=1\r\n",
       {{S, "FullScreen", D}, {"[Setting]", "FullScreen", "1"}}},
      {"section names ignore case", "[SETTING]\r\nfullscreen=1\r\n", {{S, "FullScreen", "1"}}},
      {"first section of a name", "[Setting]\r\n[Setting]\r\nFullScreen=1\r\n", {{S, "FullScreen", D}}},
      {"first key of a name", "[Setting]\r\nFullScreen=1\r\nfullscreen=2\r\n", {{S, "FullScreen", "1"}}},
      {"keys before the first section",
       "FullScreen=1\r\n[Setting]\r\nScroll=0\r\n",
       {{S, "FullScreen", D}, {"", "FullScreen", "1"}, {S, "Scroll", "0"}}},
      {"empty section name", "[]\r\nFullScreen=1\r\n", {{"", "FullScreen", D}, {S, "FullScreen", D}}},

      // Ctrl-Z counts as a blank.
      {"Ctrl-Z after the value", "[Setting]\r\nFullScreen=1\x1A", {{S, "FullScreen", "1"}}},
      {"Ctrl-Z around name and value",
       "\x1A[Setting] \x1A\r\n\x1A"
       "FullScreen\x1A=\x1A"
       "1 \x1A\r\n",
       {{S, "FullScreen", "1"}}},
      {"Ctrl-Z inside the value",
       "[Setting]\r\nBlank=a\x1A"
       "b\r\n",
       {{S, "Blank",
         "a\x1A"
         "b"}}},

      // Line ends.
      {"CR inside a value ends the line", "[Setting]\r\nBlank=x\ry\r\n", {{S, "Blank", "x"}, {S, "y", D}}},
      {"CR CR LF", "[Setting]\r\r\nFullScreen=1\r\r\nScroll=0\r\r\n", {{S, "FullScreen", "1"}, {S, "Scroll", "0"}}},

      // NUL bytes end names and values.
      {"NUL in a value", "[Setting]\r\nBlank=x\0y\r\n"s, {{S, "Blank", "x"}}},
      {"NUL in a key name", "[Setting]\r\nFullScreen\0x=1\r\n"s, {{S, "FullScreen", "1"}}},
      {"NUL in a section name", "[Setting\0x]\r\nFullScreen=1\r\n"s, {{S, "FullScreen", "1"}}},
      {"NUL in a quoted value", "[Setting]\r\nBlank=\"x\0y\"\r\n"s, {{S, "Blank", "\"x"}}},

      // Blanks: space, tab, VT, FF and Ctrl-Z, nothing else.
      {"ASCII blanks", "[Setting]\r\nBlank=\v\f\t v \t\f\v\r\n", {{S, "Blank", "v"}}},
      {"other control bytes are text", "[Setting]\r\nBlank=\x1Cv\x01\r\n", {{S, "Blank", "\x1Cv\x01"}}},
      {"full-width space is text",
       "[Setting]\r\nBlank=　v　\r\n　Scroll　=0\r\n",
       {{S, "Blank", "　v　"}, {S, "Scroll", D}}},
      {"asked names lose their blanks", "[Setting]\r\nFullScreen=1\r\n", {{" Setting\t", "\tFullScreen ", "1"}}},
      {"blanks inside names count",
       "[Setting]\r\nFull Screen = 1\r\n",
       {{S, "Full Screen", "1"}, {S, "Full  Screen", D}}},

      // Values.
      {"equals signs in the value",
       "[Setting]\r\nBlank==1\r\n Scroll = a = b \r\n",
       {{S, "Blank", "=1"}, {S, "Scroll", "a = b"}}},
      {"address with a query",
       "[Setting]\r\nBlank=\"http://example.com/?a=b&c=d\"\r\n",
       {{S, "Blank", "http://example.com/?a=b&c=d"}}},
      {"inline comment is part of the value",
       "[Setting]\r\nFullScreen=1 ; 全画面\r\n",
       {{S, "FullScreen", "1 ; 全画面"}}},
      {"quotes",
       "[Setting]\r\nA=\" a b \"\r\nB='x'\r\nC=\"\"\r\nD=''\r\nE=\"\r\nF=\"x'\r\nG='\"x\"'\r\nH=\"x\r\n",
       {{S, "A", " a b "},
        {S, "B", "x"},
        {S, "C", ""},
        {S, "D", ""},
        {S, "E", "\""},
        {S, "F", "\"x'"},
        {S, "G", "\"x\""},
        {S, "H", "\"x"}}},
      {"empty value", "[Setting]\r\nBlank=\r\nScroll= \t\r\n", {{S, "Blank", ""}, {S, "Scroll", ""}}},
      {"comment lines are keys of their own",
       "[Setting]\r\n; FullScreen=0\r\n;Scroll=1\r\n#MouseOn=0\r\nFullScreen=1\r\n",
       {{S, "FullScreen", "1"}, {S, ";Scroll", "1"}, {S, "#MouseOn", "0"}, {S, "Scroll", D}}},
      {"cut at the buffer size",
       "[Setting]\r\nBlank=" + LONG_VALUE + "\r\nQuoted=\"abcdef\"\r\n",
       {{S, "Blank", LONG_VALUE_CUT.c_str()},
        {S, "Quoted", "abc", 4},
        {S, "Quoted", "abcdef", 8},
        {S, "Missing", D, 3}}},
  };
}

class ProfileShapes : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    m_dir = std::filesystem::temp_directory_path() / ("tx_shapes_" + std::to_string(random()));
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
  }

  // A file of its own for each shape: the Win32 calls keep a cache of recent files.
  std::string strPut(const std::string& text) {
    std::string path = (m_dir / ("shape" + std::to_string(m_iFiles++) + ".ini")).string();
    FILE* fp = std::fopen(path.c_str(), "wb");
    EXPECT_NE(fp, nullptr);
    if (fp == nullptr) return path;
    std::fwrite(text.data(), 1, text.size(), fp);
    std::fclose(fp);
    return path;
  }
  static std::string strRead(const std::string& path) {
    std::string text;
    FILE* fp = std::fopen(path.c_str(), "rb");
    if (fp == nullptr) return text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) text.append(buf, n);
    std::fclose(fp);
    return text;
  }
  // The answer with its length, control bytes escaped, so a difference reads plainly.
  static std::string strGet(const Lookup& lookup, const std::string& path) {
    char buf[512];
    unsigned int n =
        platform::uGetPrivateProfileString(lookup.pszSection, lookup.pszKey, "dflt  ", buf, lookup.uSize, path.c_str());
    return strShow(std::string(buf, n < sizeof buf ? n : sizeof buf - 1));
  }
  static std::string strShow(const std::string& value) {
    std::string out;
    for (unsigned char c : value) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += (c < 0x20 || c == 0x7F) ? std::string(hex) : std::string(1, static_cast<char>(c));
    }
    return out;
  }
  static std::string strExpected(const Lookup& lookup) {
    return lookup.pszExpected == nullptr ? std::string("dflt").substr(0, lookup.uSize - 1)
                                         : strShow(lookup.pszExpected);
  }

  std::filesystem::path m_dir;
  int m_iFiles = 0;
};

TEST_F(ProfileShapes, ReadsEveryFileAsTheWindowsProfileFunctionsDo) {
  int files = 0, answers = 0, differences = 0;
  for (const ShapeFile& shape : shapes()) {
    std::string path = strPut(shape.strText);
    files++;
    for (const Lookup& lookup : shape.lookups) {
      std::string answer = strGet(lookup, path);
      answers++;
      if (answer != strExpected(lookup)) differences++;
      EXPECT_EQ(answer, strExpected(lookup)) << shape.pszName << ": [" << lookup.pszSection << "] " << lookup.pszKey;
    }
  }
  std::printf("%d files, %d answers, %d differ\n", files, answers, differences);
}

// Writes keep the file's own code: a UTF-16 file stays UTF-16 with its byte-order mark, and every
// key of it still reads, old and new.
struct ShapeWrite {
  const char* pszName;
  std::string strText;
  std::vector<std::pair<const char*, const char*>> writes;  // key, value (null: delete) in [Setting]
  std::vector<Lookup> after;
  std::string strMark;  // how the file starts afterwards
};

TEST_F(ProfileShapes, WritesKeepEachFileReadableInItsOwnCode) {
  const ShapeWrite cases[] = {
      {"Notepad Unicode completed by the kiosk",
       strUtf16(SEED16),
       {{"Scroll", "1"}, {"MouseOn", "1"}, {"DetectInterval", "5000"}},
       {{S, "FullScreen", "1"},
        {S, "Scroll", "1"},
        {S, "MouseOn", "1"},
        {S, "DetectInterval", "5000"},
        {S, "Blank", "http://intra.example/kiosk/"}},
       "\xFF\xFE"},
      {"Notepad Unicode big endian",
       strUtf16(SEED16, true),
       {{"MouseOn", "0"}, {"FullScreen", "0"}},
       {{S, "FullScreen", "0"}, {S, "MouseOn", "0"}, {S, "DetectPos", "3"}},
       "\xFE\xFF"},
      {"UTF-16 with a Japanese value written",
       strUtf16(u"[Setting]\r\nBlank=x\r\n"),
       {{"Blank", "file:///C:/案内/"}, {"画面", "全体"}},
       {{S, "Blank", "file:///C:/案内/"}, {S, "画面", "全体"}},
       "\xFF\xFE"},
      {"UTF-16 lone surrogate kept",
       strUtf16(u"[Setting]\r\nBlank=a\xD800"
                u"b\r\nScroll=0\r\n"),
       {{"Scroll", "1"}},
       {{S, "Blank", "a?b"}, {S, "Scroll", "1"}},
       "\xFF\xFE"},
      {"UTF-16 odd last byte",
       strUtf16(u"[Setting]\r\nScroll=0\r\n") + "Q",
       {{"Scroll", "1"}},
       {{S, "Scroll", "1"}},
       "\xFF\xFE"},
      {"UTF-16 byte-order mark only", "\xFF\xFE", {{"Scroll", "1"}}, {{S, "Scroll", "1"}}, "\xFF\xFE"},
      {"UTF-8 byte-order mark",
       "\xEF\xBB\xBF[Setting]\r\nBlank=x\r\n",
       {{"Blank", "案内"}},
       {{S, "Blank", "案内"}},
       "\xEF\xBB\xBF["},
      {"CR alone",
       "[Setting]\rFullScreen=0\r[Other]\rScroll=9\r",
       {{"FullScreen", "1"}, {"Scroll", "0"}},
       {{S, "FullScreen", "1"}, {S, "Scroll", "0"}, {"Other", "Scroll", "9"}},
       "["},
      {"key without equals takes the value",
       "[Setting]\r\nFullScreen\r\nScroll\r\nFullScreen=0\r\n",
       {{"FullScreen", "1"}},
       {{S, "FullScreen", "1"}, {S, "Scroll", D}},
       "["},
      {"key without equals deleted",
       "[Setting]\r\nFullScreen\r\nFullScreen=0\r\n",
       {{"FullScreen", nullptr}},
       {{S, "FullScreen", "0"}},
       "["},
      {"double closing bracket gets a section of its own",
       "[Setting]]\r\nFullScreen=0\r\n",
       {{"FullScreen", "1"}},
       {{S, "FullScreen", "1"}, {"Setting]", "FullScreen", "0"}},
       "["},
      {"Ctrl-Z at the end",
       strSeed("\r\n") + "\x1A",
       {{"Zoom", "1"}, {"FullScreen", "0"}},
       {{S, "Zoom", "1"}, {S, "FullScreen", "0"}, {S, "DetectPos", "2"}},
       "["},
  };
  for (const ShapeWrite& c : cases) {
    std::string path = strPut(c.strText);
    for (const auto& [key, value] : c.writes) {
      EXPECT_TRUE(platform::fWritePrivateProfileString(S, key, value, path.c_str())) << c.pszName << ": " << key;
    }
    platform::fWritePrivateProfileString(nullptr, nullptr, nullptr, path.c_str());
    for (const Lookup& lookup : c.after) {
      EXPECT_EQ(strGet(lookup, path), strExpected(lookup))
          << c.pszName << ": [" << lookup.pszSection << "] " << lookup.pszKey;
    }
    std::string bytes = strRead(path);
    EXPECT_EQ(strShow(bytes.substr(0, c.strMark.size())), strShow(c.strMark)) << c.pszName;
    if (c.strMark.size() == 2) {
      EXPECT_EQ(bytes.size() % 2, 0u) << c.pszName << ": UTF-16 stays whole";
    }
  }
}

}  // namespace
