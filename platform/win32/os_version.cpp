// Win32 version data: GetVersionExA (extended, then basic), GetNativeSystemInfo and GetProductInfo
// looked up by name, GetSystemMetrics and the NT 3.x product-options registry value.
#include "platform/os_version.h"

#include <windows.h>

namespace platform {

namespace {

void vReadProductOptions(std::string& strValue) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0, KEY_QUERY_VALUE,
                    &key) != ERROR_SUCCESS) {
    return;
  }
  char buf[9] = {};
  DWORD size = sizeof buf;
  LONG rc = RegQueryValueExA(key, "ProductType", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  // A value that does not fit (or is stored without its terminator) is cut, never read past.
  buf[sizeof buf - 1] = '\0';
  if (rc == ERROR_SUCCESS) strValue = buf;
}

}  // namespace

BOOL fGetOSVersionData(OSVersionData& data) {
  data = OSVersionData();
  OSVERSIONINFOEXA info;
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  data.bExtended = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)) ? TRUE : FALSE;
  if (!data.bExtended) {
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return FALSE;
  }
#pragma GCC diagnostic pop
  data.uPlatformId = info.dwPlatformId;
  data.uMajor = info.dwMajorVersion;
  data.uMinor = info.dwMinorVersion;
  data.uBuild = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? (info.dwBuildNumber & 0xFFFF) : info.dwBuildNumber;
  if (data.bExtended) {
    data.uProductType = info.wProductType;
    data.uSuiteMask = info.wSuiteMask;
  }

  SYSTEM_INFO si;
  ZeroMemory(&si, sizeof si);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  typedef void(WINAPI * NativeInfoProc)(LPSYSTEM_INFO);
  NativeInfoProc pfnNative =
      kernel ? reinterpret_cast<NativeInfoProc>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")))
             : nullptr;
  if (pfnNative != nullptr) {
    pfnNative(&si);
  } else {
    GetSystemInfo(&si);
  }
  data.uArchitecture = si.wProcessorArchitecture;

  data.iServerR2 = GetSystemMetrics(SM_SERVERR2);
  data.iTabletPC = GetSystemMetrics(SM_TABLETPC);
  data.iMediaCenter = GetSystemMetrics(SM_MEDIACENTER);
  data.iStarter = GetSystemMetrics(SM_STARTER);

  if (data.uPlatformId == VER_PLATFORM_WIN32_NT && data.uMajor == 3 && !data.bExtended) {
    vReadProductOptions(data.strProductOptions);
  }
  if (data.uPlatformId == VER_PLATFORM_WIN32_NT && data.uMajor == 6) {
    typedef BOOL(WINAPI * ProductInfoProc)(DWORD, DWORD, DWORD, DWORD, PDWORD);
    ProductInfoProc pfnProduct =
        kernel ? reinterpret_cast<ProductInfoProc>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetProductInfo")))
               : nullptr;
    DWORD type = 0;
    if (pfnProduct != nullptr && pfnProduct(6, 0, 0, 0, &type)) data.uProductInfo = type;
  }
  return TRUE;
}

}  // namespace platform
