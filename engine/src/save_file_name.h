// The name under which the engine saves a download in the task's folder.
#pragma once

#include <string>
#include <string_view>

namespace velko::xldl {

// True for a bare file name that stays inside its folder: not empty, not "."
// or "..", no folder separator, drive or stream colon, wildcard or control
// character.
bool IsPlainFileName(std::wstring_view name);

// The requested save name when it is a plain file name; otherwise (the
// updater passes the whole URL) the last segment of the URL's path, split
// into base name and extension the way the updater names downloads.
std::wstring ResolveSaveFileName(std::wstring_view requested, std::wstring_view url);

// The partial file a running download writes to; renamed when complete so
// that an interrupted download never passes for a finished one.
std::wstring PartialFileName(std::wstring_view file_name);

}  // namespace velko::xldl
