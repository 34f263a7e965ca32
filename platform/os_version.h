// The Windows version data that the OS-code decision reads, gathered from the running system.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace platform {

enum : uint32_t {
  OS_PLATFORM_WIN32S = 0,
  OS_PLATFORM_WINDOWS = 1,  // Windows 95, 98, Me
  OS_PLATFORM_NT = 2,
};

enum : uint16_t { OS_ARCH_INTEL = 0, OS_ARCH_IA64 = 6, OS_ARCH_AMD64 = 9 };

struct OSVersionData {
  BOOL bExtended = FALSE;  // the extended structure came (product type and suite mask valid)
  uint32_t uPlatformId = 0;
  uint32_t uMajor = 0;
  uint32_t uMinor = 0;
  uint32_t uBuild = 0;       // Windows 95 to Me: the low word, where those systems keep it
  uint8_t uProductType = 0;  // 1 workstation, 2 domain controller, 3 server
  uint16_t uSuiteMask = 0;
  uint16_t uArchitecture = OS_ARCH_INTEL;  // of the machine, also seen from a 32-bit program
  int iServerR2 = 0;                       // GetSystemMetrics(SM_SERVERR2)
  int iTabletPC = 0;                       // SM_TABLETPC
  int iMediaCenter = 0;                    // SM_MEDIACENTER
  int iStarter = 0;                        // SM_STARTER
  // NT 6.x: GetProductInfo(6, 0, 0, 0) where kernel32 exports it, else 0.
  uint32_t uProductInfo = 0;
  // NT 3.x without the extended structure: the registry value "ProductType" of
  // HKLM\SYSTEM\CurrentControlSet\Control\ProductOptions (at most 8 bytes), else empty.
  std::string strProductOptions;
};

// Fills data from the running system. False when the system gave no version data at all
// (always on Linux, which has no Windows version).
BOOL fGetOSVersionData(OSVersionData& data);

}  // namespace platform
