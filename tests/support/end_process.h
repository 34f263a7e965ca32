// Test helper on Linux: end a process as a session end would.
#pragma once

#include <sys/types.h>

#include <cstdint>

namespace txtest {

// Sends SIGTERM, waits up to uGraceMs for the process to end, then sends SIGKILL; reaps it and
// sets pid to -1. True when it ended within the grace time. Nothing for a pid of 0 or less.
bool fEndProcess(pid_t& pid, uint32_t uGraceMs);

}  // namespace txtest
