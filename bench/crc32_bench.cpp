// Hashing a file the way FileCrc32 does (blocks of 102400 bytes, never the
// whole file in memory): zlib's crc32() against the byte-at-a-time table,
// which is the baseline measured in the same run.
//
//   crc32_bench [size_mb=100] [folder=system temp]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "velko/crc32_blocks.h"
#include "velko/crc32_table.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Measurement {
  std::uint32_t crc = 0;
  double seconds = 0;
};

bool WriteTestFile(const std::filesystem::path& path, std::size_t bytes) {
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  if (file == nullptr) return false;
  std::vector<unsigned char> block(1 << 20);
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  for (std::size_t written = 0; written < bytes;) {
    for (auto& b : block) {  // xorshift: incompressible, cheap
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      b = static_cast<unsigned char>(state);
    }
    const std::size_t n = std::min(block.size(), bytes - written);
    if (std::fwrite(block.data(), 1, n, file) != n) {
      std::fclose(file);
      return false;
    }
    written += n;
  }
  return std::fclose(file) == 0;
}

// Reads the file in FileCrc32's blocks and feeds each block to `consume`.
template <typename Consume>
std::optional<double> TimeBlockRead(const std::filesystem::path& path, Consume&& consume) {
  std::FILE* file = std::fopen(path.string().c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::vector<unsigned char> block(velko::kCrcFileBlockBytes);
  const auto start = Clock::now();
  for (std::size_t n; (n = std::fread(block.data(), 1, block.size(), file)) > 0;) consume(block.data(), n);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::fclose(file);
  return seconds;
}

std::optional<Measurement> MeasureTable(const std::filesystem::path& path) {
  std::uint32_t running = 0xFFFFFFFFu;
  auto seconds = TimeBlockRead(path, [&](const unsigned char* data, std::size_t n) {
    running = velko::TableCrc32Update(running, data, n);
  });
  if (!seconds) return std::nullopt;
  return Measurement{~running, *seconds};
}

std::optional<Measurement> MeasureZlib(const std::filesystem::path& path) {
  std::FILE* file = std::fopen(path.string().c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  auto read_block = [file](unsigned char* buffer, std::size_t capacity) -> std::optional<std::size_t> {
    const std::size_t n = std::fread(buffer, 1, capacity, file);
    if (n == 0 && std::ferror(file)) return std::nullopt;
    return n;
  };
  const auto start = Clock::now();
  const std::optional<std::uint32_t> crc = velko::Crc32OfBlocks(read_block);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::fclose(file);
  if (!crc) return std::nullopt;
  return Measurement{*crc, seconds};
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t size_mb = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
  const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2])
                                                : std::filesystem::temp_directory_path();
  if (size_mb == 0) {
    std::fprintf(stderr, "usage: crc32_bench [size_mb>0] [folder]\n");
    return 2;
  }
  const std::size_t bytes = size_mb * 1024 * 1024;
  const std::filesystem::path path = folder / "velko_crc32_bench.bin";
  if (!WriteTestFile(path, bytes)) {
    std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
    return 1;
  }
  // A plain read pass first: the page cache is warm for both contenders, and
  // its time shows what the reading alone costs.
  const auto read_only = TimeBlockRead(path, [](const unsigned char*, std::size_t) {});
  const auto table = MeasureTable(path);
  const auto zlib = MeasureZlib(path);
  std::filesystem::remove(path);
  if (!read_only || !table || !zlib) {
    std::fprintf(stderr, "reading %s failed\n", path.string().c_str());
    return 1;
  }

  const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
  std::printf("file: %zu MB, blocks of %zu bytes\n", size_mb, velko::kCrcFileBlockBytes);
  std::printf("read only          : %8.1f MB/s\n", mb / *read_only);
  std::printf("table (baseline)   : %8.1f MB/s  crc %08X\n", mb / table->seconds, table->crc);
  std::printf("zlib crc32 (ships) : %8.1f MB/s  crc %08X\n", mb / zlib->seconds, zlib->crc);
  std::printf("ratio zlib/table   : %8.2fx\n", table->seconds / zlib->seconds);
  if (table->crc != zlib->crc) {
    std::fprintf(stderr, "CRC mismatch\n");
    return 1;
  }
  return 0;
}
