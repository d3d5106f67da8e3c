// Archive entry names turned into relative paths below a destination folder.
// An entry named with an absolute path, a drive, or a ".." component would
// otherwise be written outside the folder it is unpacked into; the judgement
// itself is the shared archive entry-name check.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "velko/archive_entry_name.h"

namespace velko::bootstrap {

template <typename CharT>
constexpr bool IsEntrySeparator(CharT c) {
  return c == CharT('/') || c == CharT('\\');
}

// The entry name with "\" separators, or nullopt when the shared check finds
// it unsafe (empty, rooted, drive or stream, a ".."-like component, control
// characters).
template <typename CharT>
std::optional<std::basic_string<CharT>> SafeArchiveEntryPath(std::basic_string_view<CharT> name) {
  if (!IsSafeArchiveEntryName(name)) return std::nullopt;
  std::basic_string<CharT> path(name);
  for (CharT& c : path) {
    if (c == CharT('/')) c = CharT('\\');
  }
  return path;
}

}  // namespace velko::bootstrap
