// Bridges between std::u16string, used by the Win32-free code so that the
// same code runs natively, and Windows' std::wstring (16-bit wchar_t).
#pragma once

#include <string>
#include <string_view>

namespace velko {

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wchar_t is UTF-16");

inline std::u16string ToU16(std::wstring_view text) {
  std::u16string out(text.size(), u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char16_t>(text[i]);
  return out;
}

inline std::wstring ToWide(std::u16string_view text) {
  std::wstring out(text.size(), L'\0');
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<wchar_t>(text[i]);
  return out;
}
#endif

}  // namespace velko
