#include "engine_config.h"

#include "velko/tinyxml_text.h"

#include <tinyxml.h>

#include <set>

namespace velko::bootstrap {
namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsScanfBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// "0x" or "0X" followed by a digit: the number's own optional prefix. Without
// a digit after it, the "0" alone is the number, as in strtoul.
bool HasHexPrefix(std::string_view text, std::size_t at) {
  return at + 2 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
         HexDigitValue(text[at + 2]) >= 0;
}

}  // namespace

std::optional<std::uint32_t> ParseCrcText(std::string_view text) {
  if (text.size() < 2 || text[0] != '0' || text[1] != 'x') return std::nullopt;
  std::size_t at = 2;
  while (at < text.size() && IsScanfBlank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  if (HasHexPrefix(text, at)) at += 2;
  std::uint64_t value = 0;
  std::size_t digits = 0;
  for (; at < text.size() && HexDigitValue(text[at]) >= 0; ++at, ++digits) {
    value = value * 16 + static_cast<std::uint64_t>(HexDigitValue(text[at]));
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (digits == 0) return std::nullopt;
  const auto number = static_cast<std::uint32_t>(value);
  // A sign negates modulo 2^32, as the unsigned conversion does.
  return negative ? static_cast<std::uint32_t>(0u - number) : number;
}

std::optional<EngineConfig> ParseEngineConfig(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  const std::string owned = velko::TinyXmlParseBuffer(text);
  TiXmlDocument document;
  document.Parse(owned.c_str());
  if (document.Error()) return std::nullopt;

  const TiXmlElement* root = document.FirstChildElement();
  if (root == nullptr) return std::nullopt;
  const TiXmlElement* storage = root->FirstChildElement("storage");
  if (storage == nullptr) return std::nullopt;
  const char* save_base = storage->Attribute("save_base");
  const char* download_url = storage->Attribute("downurl");
  if (save_base == nullptr || download_url == nullptr) return std::nullopt;

  EngineConfig config;
  std::set<std::string> names;
  config.save_base_ansi = save_base;
  config.download_url_utf8 = download_url;
  for (const TiXmlElement* hash = storage->FirstChildElement("file_hash"); hash != nullptr;
       hash = hash->NextSiblingElement("file_hash")) {
    const char* name = hash->Attribute("name");
    const char* crc_text = hash->Attribute("crc");
    if (name == nullptr || crc_text == nullptr) return std::nullopt;
    const std::optional<std::uint32_t> crc = ParseCrcText(crc_text);
    if (!crc) return std::nullopt;
    std::optional<Sha256Digest> sha256;
    if (const char* sha256_text = hash->Attribute("sha256")) {
      sha256 = ParseSha256Hex(sha256_text);
      if (!sha256) return std::nullopt;
    }
    if (names.insert(name).second) config.files.push_back({name, *crc, sha256});
  }
  return config;
}

}  // namespace velko::bootstrap
