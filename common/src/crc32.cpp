#include "velko/crc32.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace velko {

void Crc32::Update(const void* data, std::size_t length) {
  if (data == nullptr) return;
  // zlib's crc32() takes a 32-bit length: feed larger buffers in pieces.
  constexpr std::size_t kMaxPiece = std::numeric_limits<uInt>::max();
  const auto* bytes = static_cast<const Bytef*>(data);
  while (length > 0) {
    const std::size_t piece = std::min(length, kMaxPiece);
    value_ = static_cast<std::uint32_t>(crc32(value_, bytes, static_cast<uInt>(piece)));
    bytes += piece;
    length -= piece;
  }
}

std::uint32_t BufferCrc32(const void* data, std::size_t length) {
  Crc32 crc;
  crc.Update(data, length);
  return crc.Value();
}

}  // namespace velko
