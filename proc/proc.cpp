// CProc and the OS-code decision over the Windows version data.
#include "proc/proc.h"

#include <strings.h>

#include "platform/process.h"

namespace {

enum : uint16_t {
  SUITE_SMALLBUSINESS = 0x0001,
  SUITE_ENTERPRISE = 0x0002,
  SUITE_TERMINAL = 0x0010,
  SUITE_SMALLBUSINESS_RESTRICTED = 0x0020,
  SUITE_EMBEDDEDNT = 0x0040,
  SUITE_DATACENTER = 0x0080,
  SUITE_PERSONAL = 0x0200,
  SUITE_BLADE = 0x0400,
  SUITE_EMBEDDED_RESTRICTED = 0x0800,
  SUITE_STORAGE_SERVER = 0x2000,
  SUITE_COMPUTE_SERVER = 0x4000,
  SUITE_WH_SERVER = 0x8000,
};

const uint8_t PRODUCT_WORKSTATION = 1;

// 0 for x64, 1 for Itanium, -1 for any other: the step of the codes that come in threes.
int iArchStep(uint16_t uArch) {
  if (uArch == platform::OS_ARCH_AMD64) return 1;
  if (uArch == platform::OS_ARCH_IA64) return 2;
  return 0;
}

int iWindows9xCode(const platform::OSVersionData& d) {
  if (d.uMajor != 4) return -1;
  if (d.uMinor == 0) {
    if (d.uBuild == 1111 || d.uBuild == 1212 || d.uBuild == 1213) return 2;
    if (d.uBuild == 1214) return 3;
    return 1;
  }
  if (d.uMinor == 10) return d.uBuild == 2222 ? 5 : 4;
  if (d.uMinor == 90) return 6;
  return -1;
}

// The edition of NT 6.x by the product type that GetProductInfo reports.
std::string strProductEdition(uint32_t uType) {
  switch (uType) {
    case 1:
    case 28: return "Ultimate";
    case 2:
    case 5: return "Home Basic";
    case 3:
    case 26: return "Home Premium";
    case 4:
    case 10:
    case 14:
    case 15:
    case 27:
    case 38:
    case 41: return "Enterprise";
    case 6:
    case 16: return "Business";
    case 7:
    case 13:
    case 36:
    case 40: return "Standard";
    case 8:
    case 12:
    case 37:
    case 39: return "Datacenter";
    case 9: return "Windows Small Business Server";
    case 25: return "Windows Small Business Server Premium";
    case 11:
    case 47: return "Starter";
    case 17:
    case 29: return "Windows Web Server";
    case 18: return "Windows HPC Server";
    case 19: return "Windows Home Server";
    case 34: return "Windows Home Server Premium";
    case 20:
    case 43: return "Windows Storage Server Express";
    case 21:
    case 44: return "Windows Storage Server Standard";
    case 22:
    case 45: return "Windows Storage Server Workgroup";
    case 23:
    case 46: return "Windows Storage Server Enterprise";
    case 24: return "for Small Business";
    case 30: return "Windows Essential Business Server Management Server";
    case 31: return "Windows Essential Business Server Security Server";
    case 32: return "Windows Essential Business Server Messaging Server";
    case 33: return "Foundation";
    case 35: return "for Windows Essential Server Solutions";
    case 42: return "Hyper-V Server";
    case 48:
    case 49: return "Professional";
    default: return "";
  }
}

std::string strNT3Edition(const platform::OSVersionData& d) {
  if (d.bExtended) {
    if (d.uProductType == PRODUCT_WORKSTATION) return "Workstation";
    if (d.uSuiteMask & SUITE_ENTERPRISE) return "Server, Enterprise";
    if (d.uSuiteMask & SUITE_TERMINAL) return "Server, Terminal Server";
    if (d.uSuiteMask & (SUITE_EMBEDDEDNT | SUITE_EMBEDDED_RESTRICTED)) return "Server, Embedded";
    return "";
  }
  const char* value = d.strProductOptions.c_str();
  std::string edition;
  if (strcasecmp(value, "LANMANNT") == 0) edition = "Server";
  if (strcasecmp(value, "SERVERNT") == 0) edition = "Server, Enterprise";
  if (strcasecmp(value, "WINNT") == 0) edition = "Workstation";
  return edition;
}

std::string strNT50Edition(const platform::OSVersionData& d) {
  if (d.uProductType == PRODUCT_WORKSTATION) return "Professional";
  if (d.uSuiteMask & SUITE_DATACENTER) return "Datacenter Server";
  if (d.uSuiteMask & SUITE_ENTERPRISE) return "Advanced Server";
  return "Server";
}

std::string strNT51Edition(const platform::OSVersionData& d) {
  if (d.iTabletPC != 0) return "Tablet PC Edition";
  if (d.iMediaCenter != 0) return "Media Center";
  if (d.iStarter != 0) return "Starter";
  if (d.uSuiteMask & SUITE_PERSONAL) return "Home";
  if (d.uSuiteMask & (SUITE_EMBEDDEDNT | SUITE_EMBEDDED_RESTRICTED)) return "Embedded";
  return "Professional";
}

std::string strNT52ServerEdition(const platform::OSVersionData& d) {
  if (d.uSuiteMask & SUITE_DATACENTER) return "Datacenter";
  if (d.uSuiteMask & SUITE_ENTERPRISE) return "Enterprise";
  if (d.uSuiteMask & SUITE_BLADE) return "Web";
  return "Standard";
}

// NT 5.2 server: the family by suite, the architecture within it, R2 by the system metric.
// Returns FALSE for the two families that end the decision without an edition.
BOOL fNT52ServerCode(const platform::OSVersionData& d, int& iCode) {
  int step = iArchStep(d.uArchitecture);
  if (d.uSuiteMask & SUITE_COMPUTE_SERVER) {
    iCode = 18;
    return FALSE;
  }
  if (d.uSuiteMask & SUITE_WH_SERVER) {
    iCode = 19;
    return FALSE;
  }
  if (d.uSuiteMask & (SUITE_SMALLBUSINESS | SUITE_SMALLBUSINESS_RESTRICTED)) {
    iCode = 20 + step;
  } else if (d.uSuiteMask & SUITE_STORAGE_SERVER) {
    iCode = 23 + step;
  } else {
    iCode = 15 + step;
  }
  if (d.iServerR2 != 0) iCode = 26 + step;
  return TRUE;
}

int iNT6Code(const platform::OSVersionData& d) {
  BOOL bX64 = d.uArchitecture == platform::OS_ARCH_AMD64;
  if (d.uProductType == PRODUCT_WORKSTATION) {
    if (d.uMinor == 0) return bX64 ? 30 : 29;
    if (d.uMinor == 1) return bX64 ? 32 : 31;
    if (d.uMinor == 2) return bX64 ? 38 : 37;
    return -1;
  }
  if (d.uMinor == 0) return 33 + iArchStep(d.uArchitecture);
  if (d.uMinor == 1) return 36;
  return -1;
}

}  // namespace

BOOL fDecideOSVersion(const platform::OSVersionData& d, int& iOSCode, std::string& strEdition) {
  strEdition.clear();
  iOSCode = -1;
  switch (d.uPlatformId) {
    case platform::OS_PLATFORM_WIN32S: iOSCode = 0; return TRUE;
    case platform::OS_PLATFORM_WINDOWS: iOSCode = iWindows9xCode(d); return TRUE;
    case platform::OS_PLATFORM_NT: break;
    default: return FALSE;
  }

  if (d.uMajor < 3) {
    iOSCode = 7;
  } else if (d.uMajor == 3) {
    if (d.uMinor < 5) {
      iOSCode = 7;
    } else if (d.uMinor == 5) {
      iOSCode = 8;
    } else if (d.uMinor == 51) {
      iOSCode = 9;
    } else {
      iOSCode = 10;
    }
    strEdition = strNT3Edition(d);
  } else if (d.uMajor == 4) {
    iOSCode = 11;
  } else if (d.uMajor == 5) {
    if (d.uMinor == 0) {
      iOSCode = 12;
      strEdition = strNT50Edition(d);
    } else if (d.uMinor == 1) {
      iOSCode = 13;
      strEdition = strNT51Edition(d);
    } else if (d.uMinor == 2) {
      if (d.uProductType == PRODUCT_WORKSTATION) {
        iOSCode = d.uArchitecture == platform::OS_ARCH_AMD64 ? 14 : -1;
      } else if (fNT52ServerCode(d, iOSCode)) {
        strEdition = strNT52ServerEdition(d);
      }
    }
  } else if (d.uMajor == 6) {
    iOSCode = iNT6Code(d);
    strEdition = strProductEdition(d.uProductInfo);
  }
  return TRUE;
}

BOOL fGetOSVersion(int& iOSCode, std::string& strEdition) {
  strEdition.clear();
  platform::OSVersionData data;
  if (!platform::fGetOSVersionData(data)) return FALSE;
  return fDecideOSVersion(data, iOSCode, strEdition);
}

CProc::CProc() : m_iOSCode(-1) {
  std::string edition;
  fGetOSVersion(m_iOSCode, edition);
}

CProc::~CProc() = default;

BOOL CProc::fFindProcess(const char* pszExeName, uint32_t& uPid) {
  return platform::fFindProcessByName(pszExeName, uPid);
}
