// File names for downloads, derived from the download URL: the last segment
// of the URL's path split into a base name and an extension.
//   "http://h/files/setup.rar?x=1" -> "setup" + ".rar"
//   "http://h/get"                 -> "get" + ".bin"
//   "http://h/"                    -> eight hex digits (CRC of the URL) + ".bin"
#pragma once

#include <string>
#include <string_view>

#include "velko/wide_text.h"

namespace velko {

// The extension including its dot; ".bin" when the last segment has no dot.
std::u16string MakeDownloadExtension(std::u16string_view url);

// The last segment without its extension. When that is empty, or consists
// only of dots (which would name the folder itself or its parent), the name
// is "%08X" of BufferCrc32 over the URL's UTF-16 code units as little-endian
// bytes.
std::u16string MakeDownloadBaseName(std::u16string_view url);

#ifdef _WIN32
inline std::wstring MakeDownloadExtension(std::wstring_view url) {
  return ToWide(MakeDownloadExtension(ToU16(url)));
}
inline std::wstring MakeDownloadBaseName(std::wstring_view url) {
  return ToWide(MakeDownloadBaseName(ToU16(url)));
}
#endif

}  // namespace velko
