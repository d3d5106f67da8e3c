// Temporary files of the download cache.
#pragma once

#include <windows.h>

#include <string>

namespace uilib::win {

// Creates (always overwriting) `path` for writing, shared for reading.
// INVALID_HANDLE_VALUE on failure.
HANDLE CreateTempFile(const std::wstring& path);

// The same, with a security descriptor whose DACL grants Everyone
// GENERIC_ALL | STANDARD_RIGHTS_ALL | SYNCHRONIZE, so that a file left behind
// by one user can be replaced by another. When the descriptor cannot be built
// the failing step is written to standard output and the file is created
// without it.
HANDLE CreateTempFileForEveryone(const std::wstring& path);

}  // namespace uilib::win
