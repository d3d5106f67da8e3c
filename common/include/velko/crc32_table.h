// Byte-at-a-time, table-driven CRC-32: the plain reference algorithm. The
// library hashes with zlib's crc32(), which gives identical values much faster;
// this form is kept to cross-check it in tests and as the benchmark baseline.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velko {

inline constexpr std::uint32_t kCrc32ReflectedPolynomial = 0xEDB88320u;

constexpr std::array<std::uint32_t, 256> MakeCrc32Table() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int bit = 0; bit < 8; ++bit) {
      c = (c & 1u) ? (kCrc32ReflectedPolynomial ^ (c >> 1)) : (c >> 1);
    }
    table[n] = c;
  }
  return table;
}

// Built at compile time: no first-use initialisation, hence no race between
// threads that hash at the same time.
inline constexpr std::array<std::uint32_t, 256> kCrc32Table = MakeCrc32Table();

// Feeds bytes into a running value. Start with 0xFFFFFFFF, invert at the end.
constexpr std::uint32_t TableCrc32Update(std::uint32_t running,
                                         const unsigned char* data,
                                         std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    running = kCrc32Table[(running ^ data[i]) & 0xFFu] ^ (running >> 8);
  }
  return running;
}

constexpr std::uint32_t TableCrc32(const unsigned char* data, std::size_t length) {
  return ~TableCrc32Update(0xFFFFFFFFu, data, length);
}

}  // namespace velko
