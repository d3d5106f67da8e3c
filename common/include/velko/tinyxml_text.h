// Input buffers for TinyXML's Parse.
//
// TinyXML 2.6 walks UTF-8 text by the length a lead byte announces, so a text that
// ends inside a multi-byte sequence makes it step over the terminating NUL and read
// past the end of the buffer (found by fuzzing the engine configuration). A copy
// padded with a few more NULs keeps every such read inside our own allocation; the
// parser still stops at the first NUL, so the document it sees is unchanged.
#pragma once

#include <string>
#include <string_view>

namespace velko {

// Longest UTF-8 sequence a lead byte can announce, plus the terminator itself.
inline constexpr std::size_t kTinyXmlPaddingBytes = 8;

inline std::string TinyXmlParseBuffer(std::string_view text) {
  std::string buffer;
  buffer.reserve(text.size() + kTinyXmlPaddingBytes);
  buffer.append(text);
  buffer.append(kTinyXmlPaddingBytes, '\0');
  return buffer;
}

}  // namespace velko
