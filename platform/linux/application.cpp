// Linux start-up services of the framework: no error boxes, controls or COM to prepare.
#include <cstdio>

#include "platform/application.h"

namespace platform {

BOOL CApplication::InitInstance() {
  // Restart after a crash is the service manager's work on Linux (for example systemd's
  // Restart=on-failure); the identity names no taskbar group here.
  return TRUE;
}

void vSetErrorMode(unsigned int) {}

BOOL fInitCommonControls() { return TRUE; }

BOOL fOleInit() { return TRUE; }

void vOleTerm() {}

void vShowStartupError(const char* pszText, const char* pszCaption) {
  std::fprintf(stderr, "%s: %s\n", pszCaption, pszText);
}

}  // namespace platform
