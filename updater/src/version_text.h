#pragma once
// Version numbers as the update service expects them: four decimal numbers
// joined by dots.

#include <cstdint>
#include <string>

namespace velko::updater {

std::string FormatVersionQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d);

// A file version from the two 32-bit halves of a fixed version record.
std::string FormatFileVersion(std::uint32_t most_significant, std::uint32_t least_significant);

}  // namespace velko::updater
