// The resident memory of the program's own process tree (the program and the processes it started).
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

// Bytes of physical memory in use by the calling process and every process descended from it
// (the browser engine's web and network processes on Linux). Linux: the resident pages of each
// /proc/<id>/statm; Windows: the working set of each process (a toolhelp snapshot for the tree).
// A process that ends while it is counted is left out. False when not even the calling
// process could be measured.
BOOL fGetProcessTreeResidentBytes(uint64_t& uBytes);

}  // namespace platform
