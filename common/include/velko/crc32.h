// CRC-32 of ISO 3309 / ITU-T V.42, the checksum of ZIP and zlib (reflected
// polynomial 0x04C11DB7, initial value 0xFFFFFFFF, final inversion).
// BufferCrc32("123456789", 9) == 0xCBF43926.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace velko {

// Files are hashed in blocks of this size so that they are never held in
// memory as a whole.
inline constexpr std::size_t kCrcFileBlockBytes = 102400;

// CRC of `length` bytes at `data`. A null pointer counts as no bytes.
std::uint32_t BufferCrc32(const void* data, std::size_t length);

// Incremental form for data that arrives in pieces (files, streams).
// Feeding the pieces of a buffer in order gives BufferCrc32 of the whole.
class Crc32 {
 public:
  void Update(const void* data, std::size_t length);
  void Update(std::span<const std::byte> bytes) { Update(bytes.data(), bytes.size()); }
  std::uint32_t Value() const { return value_; }

 private:
  // The finished CRC of everything fed so far; zlib continues from it.
  std::uint32_t value_ = 0;
};

}  // namespace velko
