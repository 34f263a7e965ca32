// Whole-file reads, permission checks and atomic replacement, shared by the Linux file stores.
#pragma once

#include <string>

#include "platform/file_replace.h"
#include "platform/types.h"

namespace platform {

// Reads the whole file. False when it exists but cannot be read (or is not a regular file);
// a missing file gives true, an empty text and bExists false.
BOOL fReadWholeFile(const std::string& strPath, std::string& strText, BOOL& bExists);

// Whether the program may change the entry: the process has the access and the permission bits
// grant it to someone. A file or folder without any write bit is read-only even for root, as the
// read-only attribute is on Windows; the same holds for read bits when bRead asks for reading.
BOOL fMayWrite(const std::string& strPath);
BOOL fMayRead(const std::string& strPath);

// The folder part of a path ("." when it has none).
std::string strParentDir(const std::string& strPath);

// fReplaceFile: platform/file_replace.h.

}  // namespace platform
