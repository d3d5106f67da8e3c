// Small text helpers of the skin language: ASCII case-insensitive comparisons
// (keywords are ASCII; UTF-8 bytes compare as-is), trimming, and UTF-8 to
// wide conversion for text that reaches Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace uilib {

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);
bool ContainsIgnoreCase(std::string_view text, std::string_view needle);

// Strips leading and trailing blanks, tabs, carriage returns and line feeds.
std::string_view TrimWhitespace(std::string_view text);

// The decimal digits at the start of `text` (after optional blanks), saturated
// at INT32_MAX. Zero when there are none, like atoi without its overflow.
std::int32_t LeadingInt(std::string_view text);

// Like LeadingInt but keeps only the low 8 bits of the decimal value, exactly
// (the value is reduced while it is read, so no digit count overflows).
std::uint8_t LeadingIntLow8(std::string_view text);

// A leading decimal number with an optional fraction ("22.5%" gives 22.5),
// clamped to the float range. Zero when there is none.
float LeadingFloat(std::string_view text);

// Parses the C "%p" form of a pointer: hexadecimal digits with an optional
// "0x" prefix and surrounding blanks. Null or zero or trailing junk: nullopt.
std::optional<std::uintptr_t> ParsePointerText(std::string_view text);

// UTF-8 to UTF-16 (on Windows) or UTF-32 (elsewhere). Malformed sequences
// become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);

// The inverse: UTF-16 (UTF-32 where wchar_t is 32 bits wide) text of the client
// interfaces as UTF-8. Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view text);

}  // namespace uilib
