// Linux process entry point: main runs the program's application object.
#include <string>
#include <vector>

#include "platform/application.h"

int main(int argc, char** argv) {
  platform::CApplication* app = platform::CApplication::pGetApp();
  if (app == nullptr) return 1;
  return app->iRunApplication(std::vector<std::string>(argv, argv + argc));
}
