// Folders that an elevated program may write into or load code from: a local
// drive path with no reparse point (junction, symbolic link, mount point) on
// the way. A UNC or device path, or a link planted by a user, would otherwise
// send the elevated program's writes, deletions or library loads elsewhere.
#pragma once

#ifndef _WIN32
#error "velko/local_folder.h is Windows-only"
#endif

#include <string_view>

namespace velko {

// "X:\..." with a drive letter, and nothing that Windows would read as a
// device, stream or parent reference: no "\\" or "\\?\" prefix, no "." or
// ".." component, no ":" past the drive, none of < > " | ? *, no control
// character. Text only; the folder need not exist.
bool IsLocalDrivePath(std::wstring_view path);

// True when an existing component of `path` (from the first below the drive
// root to the last) is a reparse point. Components that do not exist yet end
// the walk: there is nothing to follow below them.
bool HasReparsePointOnPath(std::wstring_view path);

// IsLocalDrivePath and no reparse point on the way.
bool IsSafeLocalFolder(std::wstring_view path);

}  // namespace velko
