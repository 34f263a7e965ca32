// Test helper: runs a script in the page of a Linux HTML view and returns its answer as text.
#pragma once

#include <string>

#include "platform/window_handle.h"

// Runs the message loop until the page of the view's engine (CHtmlView::hGetWindow) has answered,
// at most 5 s; empty when it did not. Not from inside another wait's condition: the answer needs
// a loop of its own.
std::string strEvalInPage(platform::HWINDOW hView, const char* pszScript);
