// Splitting a URL into scheme, host, port, path and extra information, the
// way the download naming needs it. Tolerant of odd input: never fails and
// never reads outside the given text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velko {

struct UrlParts {
  std::u16string scheme = u"http";  // lower case; "http" when the URL has none
  std::u16string host;              // without user information and port
  std::uint16_t port = 80;          // explicit port, else the scheme's default (0 if unknown)
  std::u16string path;              // from the first "/" or "\" after the host
  std::u16string extra;             // from the first "?" or "#" on
};

UrlParts SplitUrl(std::u16string_view url);

}  // namespace velko
