// CIeReg: the browser engine's feature-control values of this program, and their start-up set-up.
#pragma once

#include <cstdint>

#include "app/reg_opr.h"

class CSystemLog;

// Thin operations on the feature keys under HKEY_CURRENT_USER\Software\Microsoft\Internet
// Explorer\Main\FeatureControl; each value is a REG_DWORD named "Tarvenix.exe", whatever the
// running executable is called.
class CIeReg : public CRegOpr {
 public:
  BOOL fIsFeatureControl();
  BOOL fCreateFeatureControl();

  BOOL fIsBrowserEmulation();
  BOOL fCreateBrowserEmulation();
  BOOL fSetBrowserEmulation(uint32_t uValue);
  BOOL fIsNinputLegacyMode();
  BOOL fCreateNinputLegacyMode();
  BOOL fSetNinputLegacyMode();  // 0
  BOOL fIsGpuRendering();
  BOOL fCreateGpuRendering();
  BOOL fSetGpuRendering();  // 1
  // The GPU switch as stored: true when the value reads 1 or more (the engine may render with
  // the GPU). False when it is 0 or cannot be read.
  BOOL fIsGpuRenderingOn();
  BOOL fIsMaxConnectionsPer1_0Server();
  BOOL fCreateMaxConnectionsPer1_0Server();
  BOOL fSetMaxConnectionsPer1_0Server();  // 10
  BOOL fIsMaxConnectionsPerServer();
  BOOL fCreateMaxConnectionsPerServer();
  BOOL fSetMaxConnectionsPerServer();  // 10
  BOOL fIsAlignedTimers();
  BOOL fCreateAlignedTimers();
  BOOL fSetAlignedTimers();  // 1
  BOOL fIsAllowHighfreqTimers();
  BOOL fCreateAllowHighfreqTimers();
  BOOL fSetAllowHighfreqTimers();  // 1

 private:
  BOOL fIsFeature(const char* pszFeature);
  BOOL fCreateFeature(const char* pszFeature);
  BOOL fSetFeature(const char* pszFeature, uint32_t uValue);
};

// The document-mode emulation value of the setting IeVersion: 0..3 give 7000..10000, any other
// value 11000.
uint32_t uIeEmulationValue(int iIeVersion);

// Writes the seven feature values at start-up, creating the keys that are missing. The first step
// that fails writes its message at LOG_ERROR and ends the set-up (values written before stay):
// FALSE then.
BOOL fSetupIeFeatureControl(CIeReg& reg, int iIeVersion, CSystemLog& log);
