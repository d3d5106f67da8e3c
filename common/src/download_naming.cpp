#include "velko/download_naming.h"

#include <cstdio>
#include <vector>

#include "velko/crc32.h"
#include "velko/url_parts.h"

namespace velko {
namespace {

constexpr std::u16string_view kDefaultExtension = u".bin";

// The text after the last "/", "\" or ":" of the URL's path.
std::u16string LastPathSegment(std::u16string_view url) {
  const std::u16string path = SplitUrl(url).path;
  const std::size_t separator = path.find_last_of(u"/\\:");
  if (separator == std::u16string::npos) return path;
  return path.substr(separator + 1);
}

bool IsOnlyDots(std::u16string_view text) {
  return text.find_first_not_of(u'.') == std::u16string_view::npos;
}

// "%08X" of the CRC over the URL's UTF-16 code units as little-endian bytes.
// Bytes are laid out explicitly so the name does not depend on the host.
std::u16string UrlCrcName(std::u16string_view url) {
  std::vector<unsigned char> bytes;
  bytes.reserve(url.size() * 2);
  for (char16_t unit : url) {
    bytes.push_back(static_cast<unsigned char>(unit & 0xFFu));
    bytes.push_back(static_cast<unsigned char>(unit >> 8));
  }
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X",
                static_cast<unsigned>(BufferCrc32(bytes.data(), bytes.size())));
  return std::u16string(digits, digits + 8);
}

}  // namespace

std::u16string MakeDownloadExtension(std::u16string_view url) {
  const std::u16string segment = LastPathSegment(url);
  const std::size_t dot = segment.rfind(u'.');
  if (dot == std::u16string::npos) return std::u16string(kDefaultExtension);
  return segment.substr(dot);
}

std::u16string MakeDownloadBaseName(std::u16string_view url) {
  std::u16string segment = LastPathSegment(url);
  const std::size_t dot = segment.rfind(u'.');
  if (dot != std::u16string::npos) segment.resize(dot);
  // Empty names and "." / ".." would make the save path the download folder
  // itself or its parent.
  if (IsOnlyDots(segment)) return UrlCrcName(url);
  return segment;
}

}  // namespace velko
