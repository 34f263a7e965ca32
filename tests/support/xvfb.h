// A private X server for a test: Xvfb on a free display number, 1280x800, no TCP.
#pragma once

#include <sys/types.h>

#include <string>

// Starts Xvfb and waits up to 20 s for it to name its display (":N" in strDisplay). Returns its
// process id, or -1 (with nothing left running) when it did not start.
pid_t iStartXvfb(std::string& strDisplay);
