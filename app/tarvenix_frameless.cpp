// CTarvenixApp without a main window, for a platform whose window framework is not built yet:
// the program ends after its start-up.
#include "app/tarvenix_app.h"

BOOL CTarvenixApp::fCreateMainFrame() { return TRUE; }

int CTarvenixApp::Run() { return ExitInstance(); }
