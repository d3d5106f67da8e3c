// The engine configuration parser and the CRC and SHA-256 text readers on
// arbitrary bytes: none may crash, and an accepted configuration must hold
// unique names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "engine_config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  velko::bootstrap::ParseCrcText(text);
  // A digest text is read back to itself, in lower case.
  if (const auto digest = velko::ParseSha256Hex(text)) {
    if (velko::ParseSha256Hex(velko::Sha256ToHex(*digest)) != digest) std::abort();
  }
  const auto config = velko::bootstrap::ParseEngineConfig(text);
  if (config) {
    std::set<std::string> names;
    for (const auto& file : config->files) {
      if (!names.insert(file.name_utf8).second) std::abort();
    }
  }
  return 0;
}
