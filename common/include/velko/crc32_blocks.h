// CRC-32 of data read block by block from any source (files, pipes), so that
// the data is never held in memory as a whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "velko/crc32.h"

namespace velko {

// `read_block(buffer, capacity)` fills up to `capacity` bytes and returns how
// many it wrote, 0 at the end of the data, or nullopt when reading failed.
// The result is the CRC of everything read, or nullopt on a read failure:
// a partly read source must not pass for a complete one.
template <typename ReadBlock>
std::optional<std::uint32_t> Crc32OfBlocks(ReadBlock&& read_block,
                                           std::size_t block_bytes = kCrcFileBlockBytes) {
  std::vector<unsigned char> block(block_bytes);
  Crc32 crc;
  for (;;) {
    const std::optional<std::size_t> read = read_block(block.data(), block.size());
    if (!read) return std::nullopt;
    if (*read == 0) return crc.Value();
    crc.Update(block.data(), *read);
  }
}

}  // namespace velko
