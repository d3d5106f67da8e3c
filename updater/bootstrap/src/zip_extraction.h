// Unpacking a ZIP archive held in memory, entry by entry, into a sink that
// creates the files. The walk (entries, folders, names, blocks) is the same
// on every platform; only the sink touches the file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velko::bootstrap {

class ZipEntryWriter {
 public:
  virtual ~ZipEntryWriter() = default;
  virtual bool Write(const void* data, std::size_t length) = 0;
  // Flushes and closes; false when the file could not be completed.
  virtual bool Close() = 0;
};

class ZipEntrySink {
 public:
  virtual ~ZipEntrySink() = default;
  // Creates (or truncates) the file for an entry, with its missing parent
  // folders. `relative_path` is safe to join (no drive, root or ".."), uses
  // "\" separators and is in the archive's 8-bit encoding. Null on failure.
  virtual std::unique_ptr<ZipEntryWriter> Create(const std::string& relative_path) = 0;
};

enum class ZipExtractStatus {
  kOk,
  kCannotOpen,      // not a ZIP archive
  kBadEntry,        // entry information unreadable, or no entry at all
  kCannotCreate,    // the sink could not create a file
  kCannotRead,      // an entry could not be opened, read, or failed its CRC
  kCannotWrite,     // writing or closing a file failed
  kTooLarge,        // an entry, or all entries together, above the limits
};

// Caps that keep a hostile package (a "ZIP bomb", a lying size field) from
// exhausting memory or disk. The engine is a few megabytes.
struct ZipLimits {
  std::uint64_t max_entry_bytes = 64ull * 1024 * 1024;
  std::uint64_t max_total_bytes = 128ull * 1024 * 1024;
  int max_entries = 4096;
};

struct ZipExtractResult {
  ZipExtractStatus status = ZipExtractStatus::kOk;
  int files_written = 0;
  // Entries refused because of their names (absolute, "..", too long for
  // the 300-byte name buffer); nothing is written for them.
  int unsafe_entries_skipped = 0;

  bool ok() const { return status == ZipExtractStatus::kOk; }
};

inline constexpr std::size_t kZipNameBufferBytes = 300;
inline constexpr std::size_t kZipReadBlockBytes = 10240;

// Folder entries (attribute bit 0x10, or a name ending in a separator) are
// skipped; every other entry is written through `sink` in blocks of 10240
// bytes. An entry whose declared size is above `limits` is refused before it
// is read; the bytes actually unpacked are counted too, so a size field that
// lies ends the extraction as well. The first failure ends the extraction;
// files written so far stay.
ZipExtractResult ExtractZip(const void* data, std::size_t size, ZipEntrySink& sink,
                            const ZipLimits& limits = {});

// One file of an archive unpacked into memory.
struct UnpackedZipFile {
  std::string relative_path;  // as the sink receives it: safe, "\" separators
  std::string bytes;
};

struct UnpackedZip {
  ZipExtractResult result;
  std::vector<UnpackedZipFile> files;  // in archive order; complete only when result.ok()
};

// Unpacks every file into memory within `limits`, so that the contents can be
// checked before anything reaches the disk. Allocation failures end in
// kTooLarge, never in an exception.
UnpackedZip UnpackZipToMemory(const void* data, std::size_t size, const ZipLimits& limits = {});

}  // namespace velko::bootstrap
