// UTF-16 (UTF-32 where wchar_t is 32 bits wide) text of the client
// interfaces as UTF-8, the library's own encoding. Unpaired surrogates become
// U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace uilib {

std::string WideToUtf8(std::wstring_view text);

}  // namespace uilib
