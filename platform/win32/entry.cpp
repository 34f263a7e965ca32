// Win32 process entry point of a GUI program: WinMain runs the program's application object with
// the command line the C runtime split into words (ANSI code page).
#include <windows.h>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::CApplication* app = platform::CApplication::pGetApp();
  if (app == nullptr) return 1;
  std::vector<std::string> args;
  for (int i = 0; i < __argc; ++i) args.emplace_back(__argv[i] != nullptr ? __argv[i] : "");
  return app->iRunApplication(args);
}
