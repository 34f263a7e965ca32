// Test helper: run the UI loop until a condition holds (portable).
#pragma once

#include <functional>

// Runs the message loop until done() (checked on the UI thread every 20 ms) is true or iMs pass.
// Returns done()'s last answer.
bool fRunLoopUntil(const std::function<bool()>& done, int iMs);

// Gives the test process a display to show windows on and prepares the message loop there
// (Linux: a private Xvfb for this process; Windows: the desktop as it is).
bool fPrepareTestUi();
