#include "velko/url_parts.h"

#include <optional>

namespace velko {
namespace {

bool IsAsciiAlpha(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsPathStart(char16_t c) { return c == u'/' || c == u'\\'; }
bool IsExtraStart(char16_t c) { return c == u'?' || c == u'#'; }

char16_t ToLowerAscii(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Length of a leading "scheme:" (RFC 3986: ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ))
// when it is followed by "//", else 0. Requiring "//" keeps "host:8080/x"
// and drive letters from being read as schemes.
std::size_t SchemeLength(std::u16string_view url) {
  if (url.empty() || !IsAsciiAlpha(url[0])) return 0;
  std::size_t i = 1;
  while (i < url.size() && (IsAsciiAlpha(url[i]) || IsAsciiDigit(url[i]) || url[i] == u'+' ||
                            url[i] == u'-' || url[i] == u'.')) {
    ++i;
  }
  if (i + 2 < url.size() && url[i] == u':' && IsPathStart(url[i + 1]) && IsPathStart(url[i + 2])) {
    return i;
  }
  return 0;
}

std::uint16_t DefaultPort(std::u16string_view scheme) {
  if (scheme == u"http") return 80;
  if (scheme == u"https") return 443;
  if (scheme == u"ftp") return 21;
  return 0;
}

std::optional<std::uint16_t> ParsePort(std::u16string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  std::uint32_t value = 0;
  for (char16_t c : text) {
    if (!IsAsciiDigit(c)) return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - u'0');
  }
  if (value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

// Fills host and port from "user:pass@host:port" (also "[v6]:port").
void SplitAuthority(std::u16string_view authority, UrlParts& parts) {
  const std::size_t at = authority.rfind(u'@');
  if (at != std::u16string_view::npos) authority.remove_prefix(at + 1);
  const std::size_t bracket = authority.rfind(u']');
  std::size_t colon = authority.rfind(u':');
  if (colon != std::u16string_view::npos && bracket != std::u16string_view::npos && colon < bracket) {
    colon = std::u16string_view::npos;
  }
  parts.host.assign(authority.substr(0, colon));
  if (colon != std::u16string_view::npos) {
    if (auto port = ParsePort(authority.substr(colon + 1))) parts.port = *port;
  }
}

}  // namespace

UrlParts SplitUrl(std::u16string_view url) {
  UrlParts parts;
  std::u16string_view rest = url;
  bool has_authority = true;

  if (const std::size_t scheme_length = SchemeLength(rest); scheme_length > 0) {
    parts.scheme.clear();
    for (char16_t c : rest.substr(0, scheme_length)) parts.scheme.push_back(ToLowerAscii(c));
    rest.remove_prefix(scheme_length + 3);  // "scheme://"
  } else if (rest.size() >= 2 && IsPathStart(rest[0]) && IsPathStart(rest[1])) {
    rest.remove_prefix(2);  // scheme-relative "//host/path"
  } else if (!rest.empty() && IsPathStart(rest[0])) {
    has_authority = false;  // only a path
  }
  parts.port = DefaultPort(parts.scheme);

  if (has_authority) {
    std::size_t end = 0;
    while (end < rest.size() && !IsPathStart(rest[end]) && !IsExtraStart(rest[end])) ++end;
    SplitAuthority(rest.substr(0, end), parts);
    rest.remove_prefix(end);
  }

  std::size_t extra = 0;
  while (extra < rest.size() && !IsExtraStart(rest[extra])) ++extra;
  parts.path.assign(rest.substr(0, extra));
  parts.extra.assign(rest.substr(extra));
  return parts;
}

}  // namespace velko
