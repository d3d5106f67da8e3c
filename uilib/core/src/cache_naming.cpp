#include "uilib/cache_naming.h"

#include <string>
#include <vector>

#include "velko/crc32.h"

namespace uilib {
namespace {

bool IsComponentSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

bool IsFileNameChar(char16_t c) {
  if (c < 0x20) return false;
  return std::u16string_view(u"<>:\"|?*/\\").find(c) == std::u16string_view::npos;
}

}  // namespace

std::u16string UrlExtension(std::u16string_view url) {
  std::size_t end = url.find_first_of(u"?#");
  std::u16string_view path = url.substr(0, end);
  std::size_t dot = std::u16string_view::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    // Blanks end an extension as they do for the shell's extension lookup.
    if (IsComponentSeparator(path[i]) || path[i] == u' ') {
      dot = std::u16string_view::npos;
    } else if (path[i] == u'.') {
      dot = i;
    }
  }
  if (dot == std::u16string_view::npos) return {};
  std::u16string_view extension = path.substr(dot);
  for (char16_t c : extension) {
    if (!IsFileNameChar(c)) return {};
  }
  return std::u16string(extension);
}

std::u16string CacheFileName(std::u16string_view url) {
  std::vector<unsigned char> bytes;
  bytes.reserve(url.size() * 2);
  for (char16_t unit : url) {
    bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
    bytes.push_back(static_cast<unsigned char>(unit >> 8));
  }
  std::uint32_t crc = velko::BufferCrc32(bytes.data(), bytes.size());
  std::string number = std::to_string(crc);
  std::u16string name = u"res_";
  name.append(number.begin(), number.end());
  name += UrlExtension(url);
  return name;
}

}  // namespace uilib
