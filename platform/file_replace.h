// Atomic replacement of a whole file: readers see the old file or the new one, never a part.
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// Replaces (or creates) the file with the bytes through a temporary file in the same folder,
// written and flushed to the disk, and a rename over the old name. False when any step fails;
// the file is then untouched and the temporary file gone.
// Linux: the file keeps its permission bits and owner, a new one gets 0666 less the umask; a
// symbolic link stays a link and the file it names is replaced; a file or folder without any
// write permission bit is read-only even for root.
// Windows: a reader that holds the file open without sharing its deletion (many do) blocks the
// rename; it is tried again for about 200 ms before the call fails.
BOOL fReplaceFile(const std::string& strPath, const std::string& strBytes);

}  // namespace platform
