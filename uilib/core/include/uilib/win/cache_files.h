// Files of the download cache, made so that another user of the machine
// cannot plant or replace what the (possibly elevated) program writes and
// later reads: the folder and the cache file must not be links or
// junctions, and temporary files get unpredictable names and are created
// only where nothing exists yet, with the security the folder gives.
#pragma once

#include <windows.h>

#include <string>

namespace uilib::win {

// Whether something exists at `path` that is not a plain file: a folder, a
// link or a junction (these are never read, written or followed).
bool IsFolderOrLink(const std::wstring& path);
bool IsPlainFile(const std::wstring& path);

// Creates `folder` with its missing parents. True when it is then a real
// folder, not a link or junction.
bool PrepareCacheFolder(const std::wstring& folder);

struct ExclusiveFile {
  HANDLE handle = INVALID_HANDLE_VALUE;
  std::wstring path;
};

// A new file for writing (shared for reading) beside `final_path`, named
// final_path + "." + random hex + ".temp" and created only if nothing is at
// that name (never opening or following what is there). A few names are
// tried; INVALID_HANDLE_VALUE when none could be created.
ExclusiveFile CreateExclusiveTempFile(const std::wstring& final_path);

}  // namespace uilib::win
