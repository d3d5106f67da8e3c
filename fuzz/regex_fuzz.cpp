// Fuzz target for the pattern matcher. Input: one flags byte, one start-offset
// byte, then the pattern, a NUL byte, and the text. Any input must compile or be
// refused with an error inside the pattern, and every search must end with
// group offsets that lie inside the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vregex/regex.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckMatch(const vregex::Match& match, std::string_view text, size_t start) {
  Check(match.GroupCount() >= 1 && match.Matched(0));
  Check(match.Begin(0) >= start && match.Begin(0) <= match.End(0) && match.End(0) <= text.size());
  for (size_t g = 1; g < match.GroupCount(); ++g) {
    if (!match.Matched(g)) continue;
    Check(match.Begin(g) <= match.End(g) && match.End(g) <= text.size());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const unsigned flags = (data[0] & 1) ? vregex::kIgnoreCase : vregex::kNone;
  const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  const size_t separator = rest.find('\0');
  const std::string_view pattern = rest.substr(0, separator);
  const std::string_view text = separator == std::string_view::npos ? std::string_view() : rest.substr(separator + 1);
  const size_t start = text.empty() ? 0 : data[1] % (text.size() + 1);

  vregex::CompileError error;
  auto regex = vregex::Regex::Compile(pattern, flags, &error);
  if (!regex) {
    Check(error.position <= pattern.size() && !error.reason.empty());
    return 0;
  }
  regex->SetStepBudget(1u << 16);  // keep each run short; the budget itself is under test too
  vregex::Match match;
  if (regex->Search(text, &match, start)) {
    CheckMatch(match, text, start);
    Check(match.GroupCount() == regex->CaptureCount() + 1);
  }
  regex->Search(pattern, &match);  // the pattern as text: a second, unrelated input
  return 0;
}
