#include "velko/http_client.h"

namespace velko {
namespace {

bool IsUnreservedAlnum(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         (byte >= '0' && byte <= '9');
}

}  // namespace

std::string EncodeQueryValue(std::string_view value) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(value.size() * 3);
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUnreservedAlnum(byte)) {
      encoded.push_back(c);
    } else {
      encoded.push_back('%');
      encoded.push_back(kHexDigits[byte >> 4]);
      encoded.push_back(kHexDigits[byte & 0x0F]);
    }
  }
  return encoded;
}

std::string BuildQuery(const QueryParameters& parameters) {
  std::string query;
  for (const auto& [key, value] : parameters) {
    if (key.empty()) {
      continue;
    }
    if (!query.empty()) {
      query.push_back('&');
    }
    query.append(key);
    query.push_back('=');
    query.append(EncodeQueryValue(value));
  }
  return query;
}

std::string AppendQuery(std::string_view url, std::string_view query) {
  std::string result(url);
  if (query.empty()) {
    return result;
  }
  result.push_back(url.find('?') == std::string_view::npos ? '?' : '&');
  result.append(query);
  return result;
}

}  // namespace velko
