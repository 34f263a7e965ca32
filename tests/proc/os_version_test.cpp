// The OS code and edition decision over version data, and CProc on the running system.
#include <gtest/gtest.h>

#include <string>

#include "platform/os_version.h"
#include "proc/proc.h"

namespace {

using platform::OSVersionData;

struct Case {
  const char* pszWhat;
  OSVersionData data;
  int iCode;
  const char* pszEdition;
};

OSVersionData Nt(uint32_t major, uint32_t minor, uint8_t type, uint16_t suite = 0, uint16_t arch = 0) {
  OSVersionData d;
  d.bExtended = TRUE;
  d.uPlatformId = 2;
  d.uMajor = major;
  d.uMinor = minor;
  d.uProductType = type;
  d.uSuiteMask = suite;
  d.uArchitecture = arch;
  return d;
}

OSVersionData W9x(uint32_t minor, uint32_t build, uint32_t major = 4) {
  OSVersionData d;
  d.uPlatformId = 1;
  d.uMajor = major;
  d.uMinor = minor;
  d.uBuild = build;
  return d;
}

OSVersionData With(OSVersionData d, void (*change)(OSVersionData&)) {
  change(d);
  return d;
}

OSVersionData Nt6(uint32_t minor, uint8_t type, uint32_t product, uint16_t arch = 0) {
  OSVersionData d = Nt(6, minor, type, 0, arch);
  d.uProductInfo = product;
  return d;
}

OSVersionData Nt3Basic(uint32_t minor, const char* pszOptions) {
  OSVersionData d = Nt(3, minor, 0);
  d.bExtended = FALSE;
  d.strProductOptions = pszOptions;
  return d;
}

const uint16_t X86 = 0, IA64 = 6, X64 = 9;

const Case kCases[] = {
    {"Win32s", With(OSVersionData(), [](OSVersionData& d) { d.uPlatformId = 0; }), 0, ""},
    {"95", W9x(0, 950), 1, ""},
    {"95 other build", W9x(0, 1000), 1, ""},
    {"95 OSR2 1111", W9x(0, 1111), 2, ""},
    {"95 OSR2 1212", W9x(0, 1212), 2, ""},
    {"95 OSR2 1213", W9x(0, 1213), 2, ""},
    {"95 OSR2.5", W9x(0, 1214), 3, ""},
    {"98", W9x(10, 1998), 4, ""},
    {"98 SE", W9x(10, 2222), 5, ""},
    {"Me", W9x(90, 3000), 6, ""},
    {"9x unknown minor", W9x(20, 0), -1, ""},
    {"9x unknown major", W9x(0, 950, 5), -1, ""},
    {"NT 2.x", Nt(2, 0, 1), 7, ""},
    {"NT 3.1 workstation", Nt(3, 1, 1), 7, "Workstation"},
    {"NT 3.5 enterprise", Nt(3, 5, 3, 0x0002), 8, "Server, Enterprise"},
    {"NT 3.51 terminal", Nt(3, 51, 3, 0x0010), 9, "Server, Terminal Server"},
    {"NT 3.51 embedded", Nt(3, 51, 3, 0x0800), 9, "Server, Embedded"},
    {"NT 3.10 plain server", Nt(3, 10, 3), 10, ""},
    {"NT 3 basic LANMANNT", Nt3Basic(51, "lanmannt"), 9, "Server"},
    {"NT 3 basic SERVERNT", Nt3Basic(51, "SERVERNT"), 9, "Server, Enterprise"},
    {"NT 3 basic WINNT", Nt3Basic(5, "WinNT"), 8, "Workstation"},
    {"NT 3 basic unknown", Nt3Basic(5, "FOO"), 8, ""},
    {"NT 4", Nt(4, 0, 1, 0x0002), 11, ""},
    {"2000 Professional", Nt(5, 0, 1), 12, "Professional"},
    {"2000 Datacenter", Nt(5, 0, 3, 0x0082), 12, "Datacenter Server"},
    {"2000 Advanced", Nt(5, 0, 3, 0x0002), 12, "Advanced Server"},
    {"2000 Server", Nt(5, 0, 2), 12, "Server"},
    {"XP Tablet", With(Nt(5, 1, 1, 0x0200), [](OSVersionData& d) { d.iTabletPC = 1; }), 13, "Tablet PC Edition"},
    {"XP Media Center", With(Nt(5, 1, 1), [](OSVersionData& d) { d.iMediaCenter = 1; }), 13, "Media Center"},
    {"XP Starter", With(Nt(5, 1, 1), [](OSVersionData& d) { d.iStarter = 1; }), 13, "Starter"},
    {"XP Home", Nt(5, 1, 1, 0x0200), 13, "Home"},
    {"XP Embedded", Nt(5, 1, 1, 0x0040), 13, "Embedded"},
    {"XP Professional", Nt(5, 1, 1), 13, "Professional"},
    {"XP x64", Nt(5, 2, 1, 0, X64), 14, ""},
    {"5.2 workstation not x64", Nt(5, 2, 1, 0, X86), -1, ""},
    {"2003 x86", Nt(5, 2, 3, 0, X86), 15, "Standard"},
    {"2003 x64 datacenter", Nt(5, 2, 3, 0x0080, X64), 16, "Datacenter"},
    {"2003 ia64 enterprise", Nt(5, 2, 3, 0x0002, IA64), 17, "Enterprise"},
    {"2003 web", Nt(5, 2, 2, 0x0400), 15, "Web"},
    {"Compute Cluster beats R2", With(Nt(5, 2, 3, 0x4002), [](OSVersionData& d) { d.iServerR2 = 1; }), 18, ""},
    {"Home Server", Nt(5, 2, 3, 0x8000), 19, ""},
    {"SBS", Nt(5, 2, 3, 0x0001), 20, "Standard"},
    {"SBS restricted x64", Nt(5, 2, 3, 0x0020, X64), 21, "Standard"},
    {"SBS ia64 beats storage", Nt(5, 2, 3, 0x2001, IA64), 22, "Standard"},
    {"Storage", Nt(5, 2, 3, 0x2000), 23, "Standard"},
    {"Storage x64", Nt(5, 2, 3, 0x2000, X64), 24, "Standard"},
    {"Storage ia64 enterprise", Nt(5, 2, 3, 0x2002, IA64), 25, "Enterprise"},
    {"2003 R2", With(Nt(5, 2, 3), [](OSVersionData& d) { d.iServerR2 = 1; }), 26, "Standard"},
    {"2003 R2 x64 storage", With(Nt(5, 2, 3, 0x2000, X64), [](OSVersionData& d) { d.iServerR2 = 1; }), 27, "Standard"},
    {"2003 R2 ia64 SBS", With(Nt(5, 2, 3, 0x0001, IA64), [](OSVersionData& d) { d.iServerR2 = 1; }), 28, "Standard"},
    {"NT 5.3", Nt(5, 3, 1), -1, ""},
    {"Vista x86 Ultimate", Nt6(0, 1, 1), 29, "Ultimate"},
    {"Vista x64 Home Basic", Nt6(0, 1, 2, X64), 30, "Home Basic"},
    {"7 x86 Home Premium", Nt6(1, 1, 3), 31, "Home Premium"},
    {"7 x64 Enterprise", Nt6(1, 1, 4, X64), 32, "Enterprise"},
    {"2008 x86 Standard", Nt6(0, 3, 7), 33, "Standard"},
    {"2008 x64 Datacenter", Nt6(0, 3, 8, X64), 34, "Datacenter"},
    {"2008 ia64", Nt6(0, 3, 15, IA64), 35, "Enterprise"},
    {"2008 R2 any arch", Nt6(1, 2, 12, X64), 36, "Datacenter"},
    {"8 x86 reported as 6.2", Nt6(2, 1, 48), 37, "Professional"},
    {"8 x64 reported as 6.2", Nt6(2, 1, 49, X64), 38, "Professional"},
    {"server reporting 6.2", Nt6(2, 3, 7, X64), -1, "Standard"},
    {"workstation 6.3", Nt6(3, 1, 1), -1, "Ultimate"},
    {"server 6.2 storage", Nt6(2, 3, 20), -1, "Windows Storage Server Express"},
    {"SBS premium", Nt6(0, 3, 25), 33, "Windows Small Business Server Premium"},
    {"Essential messaging", Nt6(0, 3, 32), 33, "Windows Essential Business Server Messaging Server"},
    {"product 0", Nt6(1, 1, 0), 31, ""},
    {"product 50", Nt6(1, 1, 50), 31, ""},
    {"NT 10", Nt(10, 0, 1), -1, ""},
};

}  // namespace

TEST(OSVersionDecision, CodesAndEditionsOfTheReleaseTables) {
  for (const Case& c : kCases) {
    int code = 99;
    std::string edition = "left over";
    EXPECT_TRUE(fDecideOSVersion(c.data, code, edition)) << c.pszWhat;
    EXPECT_EQ(c.iCode, code) << c.pszWhat;
    EXPECT_EQ(c.pszEdition, edition) << c.pszWhat;
  }
}

TEST(OSVersionDecision, SixtyFourBitSevenGivesThirtyTwoWhoeverAsks) {
  // A 32-bit program sees the machine's architecture through GetNativeSystemInfo.
  int code = 0;
  std::string edition;
  EXPECT_TRUE(fDecideOSVersion(Nt6(1, 1, 1, X64), code, edition));
  EXPECT_EQ(32, code);
}

TEST(OSVersionDecision, AnUnknownPlatformIdIsFalseWithCodeMinusOne) {
  OSVersionData d = Nt(6, 1, 1);
  d.uPlatformId = 3;
  int code = 99;
  std::string edition = "x";
  EXPECT_FALSE(fDecideOSVersion(d, code, edition));
  EXPECT_EQ(-1, code);
  EXPECT_EQ("", edition);
}

TEST(OSVersionSystem, CProcKeepsTheDecisionOfTheRunningSystem) {
  OSVersionData data;
  int expected = -1;
  std::string edition;
  if (platform::fGetOSVersionData(data)) {
    fDecideOSVersion(data, expected, edition);
    int code = 99;
    std::string text = "x";
    EXPECT_TRUE(fGetOSVersion(code, text));
    EXPECT_EQ(expected, code);
    EXPECT_EQ(edition, text);
  } else {
    int code = 99;
    std::string text = "x";
    EXPECT_FALSE(fGetOSVersion(code, text));
    EXPECT_EQ(99, code);  // left as the caller set it
    EXPECT_EQ("", text);
  }
  EXPECT_EQ(expected, CProc().m_iOSCode);
}
