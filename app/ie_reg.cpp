// CIeReg: the feature keys of the browser engine and the start-up sequence that writes them.
#include "app/ie_reg.h"

#include <string>

#include "common/log_file.h"

namespace {

const char kFeatureControl[] = "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl";
const char kValueName[] = "Tarvenix.exe";

std::string strFeaturePath(const char* pszFeature) { return std::string(kFeatureControl) + "\\" + pszFeature; }

}  // namespace

BOOL CIeReg::fIsFeature(const char* pszFeature) {
  return fIsKey(platform::REGKEY_CURRENT_USER, strFeaturePath(pszFeature).c_str());
}

BOOL CIeReg::fCreateFeature(const char* pszFeature) {
  return fCreateKey(platform::REGKEY_CURRENT_USER, strFeaturePath(pszFeature).c_str(), nullptr);
}

BOOL CIeReg::fSetFeature(const char* pszFeature, uint32_t uValue) {
  return fWriteDword(uValue, kValueName, platform::REGKEY_CURRENT_USER, strFeaturePath(pszFeature).c_str(),
                     platform::REGTYPE_DWORD);
}

BOOL CIeReg::fIsFeatureControl() { return fIsKey(platform::REGKEY_CURRENT_USER, kFeatureControl); }
BOOL CIeReg::fCreateFeatureControl() { return fCreateKey(platform::REGKEY_CURRENT_USER, kFeatureControl, nullptr); }

BOOL CIeReg::fIsBrowserEmulation() { return fIsFeature("FEATURE_BROWSER_EMULATION"); }
BOOL CIeReg::fCreateBrowserEmulation() { return fCreateFeature("FEATURE_BROWSER_EMULATION"); }
BOOL CIeReg::fSetBrowserEmulation(uint32_t uValue) { return fSetFeature("FEATURE_BROWSER_EMULATION", uValue); }
BOOL CIeReg::fIsNinputLegacyMode() { return fIsFeature("FEATURE_NINPUT_LEGACYMODE"); }
BOOL CIeReg::fCreateNinputLegacyMode() { return fCreateFeature("FEATURE_NINPUT_LEGACYMODE"); }
BOOL CIeReg::fSetNinputLegacyMode() { return fSetFeature("FEATURE_NINPUT_LEGACYMODE", 0); }
BOOL CIeReg::fIsGpuRendering() { return fIsFeature("FEATURE_GPU_RENDERING"); }
BOOL CIeReg::fCreateGpuRendering() { return fCreateFeature("FEATURE_GPU_RENDERING"); }
BOOL CIeReg::fSetGpuRendering() { return fSetFeature("FEATURE_GPU_RENDERING", 1); }
BOOL CIeReg::fIsGpuRenderingOn() {
  uint32_t uValue = 0;
  if (!fReadDword(uValue, kValueName, platform::REGKEY_CURRENT_USER, strFeaturePath("FEATURE_GPU_RENDERING").c_str())) {
    return FALSE;
  }
  return uValue != 0 ? TRUE : FALSE;
}
BOOL CIeReg::fIsMaxConnectionsPer1_0Server() { return fIsFeature("FEATURE_MAXCONNECTIONSPER1_0SERVER"); }
BOOL CIeReg::fCreateMaxConnectionsPer1_0Server() { return fCreateFeature("FEATURE_MAXCONNECTIONSPER1_0SERVER"); }
BOOL CIeReg::fSetMaxConnectionsPer1_0Server() { return fSetFeature("FEATURE_MAXCONNECTIONSPER1_0SERVER", 10); }
BOOL CIeReg::fIsMaxConnectionsPerServer() { return fIsFeature("FEATURE_MAXCONNECTIONSPERSERVER"); }
BOOL CIeReg::fCreateMaxConnectionsPerServer() { return fCreateFeature("FEATURE_MAXCONNECTIONSPERSERVER"); }
BOOL CIeReg::fSetMaxConnectionsPerServer() { return fSetFeature("FEATURE_MAXCONNECTIONSPERSERVER", 10); }
BOOL CIeReg::fIsAlignedTimers() { return fIsFeature("FEATURE_ALIGNED_TIMERS"); }
BOOL CIeReg::fCreateAlignedTimers() { return fCreateFeature("FEATURE_ALIGNED_TIMERS"); }
BOOL CIeReg::fSetAlignedTimers() { return fSetFeature("FEATURE_ALIGNED_TIMERS", 1); }
BOOL CIeReg::fIsAllowHighfreqTimers() { return fIsFeature("FEATURE_ALLOW_HIGHFREQ_TIMERS"); }
BOOL CIeReg::fCreateAllowHighfreqTimers() { return fCreateFeature("FEATURE_ALLOW_HIGHFREQ_TIMERS"); }
BOOL CIeReg::fSetAllowHighfreqTimers() { return fSetFeature("FEATURE_ALLOW_HIGHFREQ_TIMERS", 1); }

uint32_t uIeEmulationValue(int iIeVersion) {
  switch (iIeVersion) {
    case 0: return 7000;
    case 1: return 8000;
    case 2: return 9000;
    case 3: return 10000;
    default: return 11000;
  }
}

BOOL fSetupIeFeatureControl(CIeReg& reg, int iIeVersion, CSystemLog& log) {
  typedef BOOL (CIeReg::*Check)();
  // Ensures a key: opens it, else creates it, else logs the creation message.
  auto ensure = [&](Check is, Check create, const char* pszMessage) {
    if ((reg.*is)() || (reg.*create)()) return TRUE;
    log.fWrite(LOG_ERROR, "%s", pszMessage);
    return FALSE;
  };
  auto written = [&](BOOL bWritten, const char* pszMessage) {
    if (bWritten) return TRUE;
    log.fWrite(LOG_ERROR, "%s", pszMessage);
    return FALSE;
  };
  const char* const emulateCreate = "IE Emurate Versionレジストリ作成に失敗\n";
  const char* const legacyCreate = "IE レガシーモードレジストリ作成に失敗\n";
  const char* const gpuCreate = "IE GPU支援レジストリ作成に失敗\n";
  const char* const connCreate = "IE 同時接続数レジストリ作成に失敗\n";
  const char* const timerCreate = "IE 電源設定と連動レジストリ作成に失敗\n";
  return ensure(&CIeReg::fIsFeatureControl, &CIeReg::fCreateFeatureControl,
                "IE future controlレジストリ作成に失敗\n") &&
         ensure(&CIeReg::fIsBrowserEmulation, &CIeReg::fCreateBrowserEmulation, emulateCreate) &&
         written(reg.fSetBrowserEmulation(uIeEmulationValue(iIeVersion)), "IE Emurate Versionレジストリ設定に失敗\n") &&
         ensure(&CIeReg::fIsNinputLegacyMode, &CIeReg::fCreateNinputLegacyMode, legacyCreate) &&
         written(reg.fSetNinputLegacyMode(), "IE レガシーモードレジストリ設定に失敗\n") &&
         ensure(&CIeReg::fIsGpuRendering, &CIeReg::fCreateGpuRendering, gpuCreate) &&
         written(reg.fSetGpuRendering(), "IE GPU支援レジストリ設定に失敗\n") &&
         ensure(&CIeReg::fIsMaxConnectionsPer1_0Server, &CIeReg::fCreateMaxConnectionsPer1_0Server, connCreate) &&
         ensure(&CIeReg::fIsMaxConnectionsPerServer, &CIeReg::fCreateMaxConnectionsPerServer, connCreate) &&
         written(reg.fSetMaxConnectionsPer1_0Server(), "IE 同時接続数レジストリ設定に失敗\n") &&
         written(reg.fSetMaxConnectionsPerServer(), "IE 同時接続数レジストリ設定に失敗\n") &&
         ensure(&CIeReg::fIsAlignedTimers, &CIeReg::fCreateAlignedTimers, timerCreate) &&
         ensure(&CIeReg::fIsAllowHighfreqTimers, &CIeReg::fCreateAllowHighfreqTimers, timerCreate) &&
         written(reg.fSetAlignedTimers(), "IE 電源設定と連動レジストリ設定に失敗\n") &&
         written(reg.fSetAllowHighfreqTimers(), "IE 電源設定と連動レジストリ設定に失敗\n");
}
