// Helpers shared by the matcher's tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vregex/regex.h"

namespace vregex::testing {

inline constexpr const char* kUnset = "<unset>";

// The groups of the first match at or after `start`, group 0 first; unmatched
// groups read kUnset. Empty when nothing matches; {"<error: reason>"} when the
// pattern does not compile.
inline std::vector<std::string> Groups(std::string_view pattern, std::string_view text,
                                       unsigned flags = kNone, size_t start = 0) {
  CompileError error;
  const std::optional<Regex> regex = Regex::Compile(pattern, flags, &error);
  if (!regex) return {"<error: " + error.reason + ">"};
  Match match;
  if (!regex->Search(text, &match, start)) return {};
  std::vector<std::string> groups;
  for (size_t i = 0; i < match.GroupCount(); ++i) {
    groups.push_back(match.Matched(i) ? match.GroupString(i) : kUnset);
  }
  return groups;
}

// Group 1 of the first match, or kUnset when there is no match or group 1 is unmatched.
inline std::string Group1(std::string_view pattern, std::string_view text, unsigned flags = kIgnoreCase) {
  const std::vector<std::string> groups = Groups(pattern, text, flags);
  return groups.size() > 1 ? groups[1] : std::string(kUnset);
}

inline CompileError ErrorOf(std::string_view pattern) {
  CompileError error;
  error.reason = "<compiled>";
  (void)Regex::Compile(pattern, kNone, &error);
  return error;
}

using Strings = std::vector<std::string>;

}  // namespace vregex::testing
