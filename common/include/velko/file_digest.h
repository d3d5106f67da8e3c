// A file held open against changes while its contents are checked and used:
// opened for reading with writing and deletion denied to everyone else, so
// the bytes that were hashed are the bytes that are then loaded or copied.
#pragma once

#ifndef _WIN32
#error "velko/file_digest.h is Windows-only"
#endif

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "velko/sha256.h"

namespace velko {

struct FileDigest {
  std::uint64_t size = 0;
  std::uint32_t crc32 = 0;
  Sha256Digest sha256{};
};

// Size, CRC-32 and SHA-256 of an open file, read from its start. nullopt when
// it cannot be read or is larger than `max_bytes`.
std::optional<FileDigest> DigestOpenFile(HANDLE file, std::uint64_t max_bytes = UINT64_MAX);

class HeldFile {
 public:
  HeldFile() = default;
  // Opens `path` for reading, sharing only reading: nobody can write,
  // rename or delete it while it is held. A reparse point (a link to
  // somewhere else) or a folder is refused. Check valid().
  explicit HeldFile(const std::wstring& path);
  ~HeldFile();
  HeldFile(HeldFile&& other) noexcept;
  HeldFile& operator=(HeldFile&& other) noexcept;
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE handle() const { return handle_; }
  const std::wstring& path() const { return path_; }

  // Size, CRC-32 and SHA-256 of the whole file, read from its start through
  // the held handle. nullopt when it cannot be read or is larger than
  // `max_bytes`.
  std::optional<FileDigest> Digest(std::uint64_t max_bytes = UINT64_MAX) const;

 private:
  void Close();

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::wstring path_;
};

}  // namespace velko
