// The one application object of Tarvenix; the platform's entry point runs it.
#include "app/tarvenix_app.h"

CTarvenixApp theApp;
