// The engine configuration parser and the CRC text reader on arbitrary bytes:
// neither may crash, and an accepted configuration must hold unique names.
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
  const auto config = velko::bootstrap::ParseEngineConfig(text);
  if (config) {
    std::set<std::string> names;
    for (const auto& file : config->files) {
      if (!names.insert(file.name_utf8).second) std::abort();
    }
  }
  return 0;
}
