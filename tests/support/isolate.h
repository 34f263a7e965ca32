// Test helper: run a test program in a machine of its own where the platform allows it.
#pragma once

namespace txtest {

// Linux, as root: moves the rest of the program into new mount and process-id namespaces with a
// private /proc and /tmp, so its processes and named events meet nobody else's (a kiosk or
// another test run on the same machine). Returns in the isolated process; the caller's process
// waits and ends with its status. Elsewhere (or without the rights) it does nothing and returns
// false.
bool fIsolate();

}  // namespace txtest
