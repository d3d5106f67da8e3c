// The engine configuration document ("/xl/cfg.xml"): where the download
// engine's files live, where its ZIP package comes from and the CRC-32 of each
// file. Parsing only; folder tokens and text conversion happen in the Windows
// layer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "velko/sha256.h"

namespace velko::bootstrap {

struct EngineFileHash {
  std::string name_utf8;  // relative to the save base
  std::uint32_t crc = 0;
  // The optional "sha256" attribute: 64 hexadecimal digits.
  std::optional<Sha256Digest> sha256;
};

struct EngineConfig {
  std::string save_base_ansi;     // may contain the token CSIDL_LOCAL_APPDATA
  std::string download_url_utf8;  // the engine's ZIP package
  // In document order; a name occurs once (its first occurrence wins).
  std::vector<EngineFileHash> files;
};

// Reads a "crc" attribute the way the format "0x%x" does, with one number:
// the literal "0x" (lower-case x), then optional blanks, an optional sign, an
// optional second "0x"/"0X" prefix and at least one hexadecimal digit; text
// after the digits is ignored. A value of more than 32 bits is refused (it is
// no CRC-32), and so is "0X..." with a capital X.
std::optional<std::uint32_t> ParseCrcText(std::string_view text);

// Nullopt for a document with an XML error (an embedded NUL counts as one),
// no root element, no "storage" child of the root, a "storage" without
// "save_base" or "downurl", or any "file_hash" without "name" or with a
// missing or malformed "crc".
std::optional<EngineConfig> ParseEngineConfig(std::string_view text);

}  // namespace velko::bootstrap
