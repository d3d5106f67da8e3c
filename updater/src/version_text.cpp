#include "version_text.h"

namespace velko::updater {

std::string FormatVersionQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return std::to_string(a) + '.' + std::to_string(b) + '.' + std::to_string(c) + '.' +
         std::to_string(d);
}

std::string FormatFileVersion(std::uint32_t most_significant, std::uint32_t least_significant) {
  return FormatVersionQuad(most_significant >> 16, most_significant & 0xFFFF,
                           least_significant >> 16, least_significant & 0xFFFF);
}

}  // namespace velko::updater
