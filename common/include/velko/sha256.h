// SHA-256 (FIPS 180-4) of buffers and streams, and its hexadecimal text form.
// The update answer and the engine configuration may carry SHA-256 digests of
// what they name; downloaded bytes are checked against them before they are
// unpacked or loaded.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velko {

using Sha256Digest = std::array<std::uint8_t, 32>;

// Incremental form: feed the pieces in order, then take the digest once.
class Sha256 {
 public:
  Sha256();
  void Update(const void* data, std::size_t length);
  // Pads and returns the digest; the object must not be fed afterwards.
  Sha256Digest Finish();

 private:
  void Compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> block_{};
  std::size_t block_used_ = 0;
  std::uint64_t total_bytes_ = 0;
};

Sha256Digest BufferSha256(const void* data, std::size_t length);

// 64 lower-case hexadecimal digits.
std::string Sha256ToHex(const Sha256Digest& digest);

// Exactly 64 hexadecimal digits in either letter case; nothing else (no
// blanks, no prefix).
std::optional<Sha256Digest> ParseSha256Hex(std::string_view text);

}  // namespace velko
