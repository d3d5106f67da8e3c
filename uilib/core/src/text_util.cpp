#include "uilib/text_util.h"

#include <cfloat>
#include <cstdlib>
#include <limits>

namespace uilib {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  c = LowerAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

size_t SkipBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendWide(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsIgnoreCase(std::string_view text, std::string_view needle) {
  if (needle.size() > text.size()) return false;
  for (size_t i = 0; i + needle.size() <= text.size(); ++i) {
    if (EqualsIgnoreCase(text.substr(i, needle.size()), needle)) return true;
  }
  return false;
}

std::string_view TrimWhitespace(std::string_view text) {
  size_t begin = SkipBlanks(text);
  size_t end = text.size();
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::int32_t LeadingInt(std::string_view text) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (size_t i = SkipBlanks(text); i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kMax) value = kMax;
  }
  return static_cast<std::int32_t>(value);
}

std::uint8_t LeadingIntLow8(std::string_view text) {
  unsigned value = 0;
  for (size_t i = SkipBlanks(text); i < text.size() && IsDigit(text[i]); ++i) {
    value = (value * 10 + static_cast<unsigned>(text[i] - '0')) & 0xFFu;
  }
  return static_cast<std::uint8_t>(value);
}

float LeadingFloat(std::string_view text) {
  size_t i = SkipBlanks(text);
  size_t end = i;
  while (end < text.size() && IsDigit(text[end])) ++end;
  if (end < text.size() && text[end] == '.' && end + 1 < text.size() && IsDigit(text[end + 1])) {
    ++end;
    while (end < text.size() && IsDigit(text[end])) ++end;
  }
  if (end == i) return 0.0f;
  std::string number(text.substr(i, end - i));
  double value = std::strtod(number.c_str(), nullptr);
  if (!(value <= FLT_MAX)) return FLT_MAX;  // also catches the infinity of a huge literal
  return static_cast<float>(value);
}

std::optional<std::uintptr_t> ParsePointerText(std::string_view text) {
  text = TrimWhitespace(text);
  if (text.size() > 2 && text[0] == '0' && LowerAscii(text[1]) == 'x') text.remove_prefix(2);
  if (text.empty() || text.size() > sizeof(std::uintptr_t) * 2) return std::nullopt;
  std::uintptr_t value = 0;
  for (char c : text) {
    int digit = HexValue(c);
    if (digit < 0) return std::nullopt;
    value = (value << 4) | static_cast<std::uintptr_t>(digit);
  }
  if (value == 0) return std::nullopt;
  return value;
}

std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    auto byte = static_cast<unsigned char>(text[i]);
    int extra = byte < 0x80 ? 0 : (byte >> 5) == 0x6 ? 1 : (byte >> 4) == 0xE ? 2 : (byte >> 3) == 0x1E ? 3 : -1;
    if (extra < 0) {
      AppendWide(out, 0xFFFD);
      ++i;
      continue;
    }
    char32_t cp = extra == 0 ? byte : (byte & (0x3F >> extra));
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    static constexpr char32_t kMinForLength[] = {0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMinForLength[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      AppendWide(out, 0xFFFD);
      ++i;
      continue;
    }
    AppendWide(out, cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<char32_t>(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      const auto low = static_cast<char32_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace uilib
