#include <windows.h>

#include <climits>

#include "velko/file_utils.h"

namespace velko {
namespace {

// MultiByteToWideChar over the whole text (no terminator). Texts too long for
// the API's int lengths, and conversion failures, give an empty string.
std::wstring MultiByteToWide(UINT code_page, std::string_view text) {
  if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring out(static_cast<std::size_t>(needed), L'\0');
  const int written = MultiByteToWideChar(code_page, 0, text.data(), length, out.data(), needed);
  out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) { return MultiByteToWide(CP_UTF8, utf8); }

std::wstring Utf8ToWide(const char* utf8) {
  return utf8 == nullptr ? std::wstring() : Utf8ToWide(std::string_view(utf8));
}

std::wstring AnsiToWide(std::string_view ansi) { return MultiByteToWide(CP_THREAD_ACP, ansi); }

}  // namespace velko
