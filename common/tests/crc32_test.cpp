#include "velko/crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

#include "velko/crc32_table.h"

namespace velko {
namespace {

std::vector<unsigned char> RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::vector<unsigned char> bytes(count);
  for (auto& b : bytes) b = static_cast<unsigned char>(generator());
  return bytes;
}

TEST(Crc32, KnownCheckValues) {
  constexpr std::string_view kCheck = "123456789";
  EXPECT_EQ(BufferCrc32(kCheck.data(), kCheck.size()), 0xCBF43926u);
  EXPECT_EQ(TableCrc32(reinterpret_cast<const unsigned char*>(kCheck.data()), kCheck.size()),
            0xCBF43926u);
  constexpr std::string_view kFox = "The quick brown fox jumps over the lazy dog";
  EXPECT_EQ(BufferCrc32(kFox.data(), kFox.size()), 0x414FA339u);
}

TEST(Crc32, EmptyAndNullInputGiveZero) {
  EXPECT_EQ(BufferCrc32("", 0), 0u);
  EXPECT_EQ(BufferCrc32(nullptr, 0), 0u);
  EXPECT_EQ(BufferCrc32(nullptr, 100), 0u);  // null is no bytes, never a read
}

TEST(Crc32, ZlibAndTableAgreeOnRandomData) {
  for (std::size_t size : {1u, 3u, 7u, 8u, 15u, 16u, 63u, 64u, 1000u, 65537u}) {
    const auto bytes = RandomBytes(size, static_cast<unsigned>(size));
    EXPECT_EQ(BufferCrc32(bytes.data(), bytes.size()), TableCrc32(bytes.data(), bytes.size()))
        << "size " << size;
  }
}

TEST(Crc32, IncrementalEqualsWholeForAnySplit) {
  const auto bytes = RandomBytes(3 * kCrcFileBlockBytes + 17, 42);
  const std::uint32_t whole = BufferCrc32(bytes.data(), bytes.size());
  for (std::size_t piece : {std::size_t{7}, std::size_t{4096}, kCrcFileBlockBytes}) {
    Crc32 crc;
    for (std::size_t offset = 0; offset < bytes.size(); offset += piece) {
      crc.Update(bytes.data() + offset, std::min(piece, bytes.size() - offset));
    }
    EXPECT_EQ(crc.Value(), whole) << "piece " << piece;
  }
  Crc32 uneven;
  uneven.Update(std::as_bytes(std::span(bytes).first(5)));
  uneven.Update(nullptr, 0);
  uneven.Update(std::as_bytes(std::span(bytes).subspan(5)));
  EXPECT_EQ(uneven.Value(), whole);
}

}  // namespace
}  // namespace velko
