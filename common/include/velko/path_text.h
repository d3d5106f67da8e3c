// Text operations on Windows paths ("\" and "/" both separate components).
// Header-only templates so that the natively tested code (char16_t) is the
// code the Windows build uses (wchar_t).
#pragma once

#include <string>
#include <string_view>

namespace velko {

template <typename CharT>
constexpr bool IsPathSeparator(CharT c) {
  return c == CharT('\\') || c == CharT('/');
}

// The path with its last component removed: "C:\a\b" -> "C:\a", "C:\a" ->
// "C:", "name" -> "". A trailing separator ends an empty last component, so
// "C:\a\" -> "C:\a".
template <typename CharT>
std::basic_string<CharT> ParentPath(std::basic_string_view<CharT> path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return std::basic_string<CharT>(path.substr(0, i - 1));
  }
  return {};
}

// `folder` and `name` joined by one "\": no separator is doubled when the
// folder already ends in one, and an empty folder gives `name` alone.
template <typename CharT>
std::basic_string<CharT> JoinPath(std::basic_string_view<CharT> folder,
                                  std::basic_string_view<CharT> name) {
  std::basic_string<CharT> out(folder);
  if (!out.empty() && !IsPathSeparator(out.back())) out.push_back(CharT('\\'));
  out.append(name);
  return out;
}

}  // namespace velko
