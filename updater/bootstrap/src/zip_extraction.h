// Unpacking a ZIP archive held in memory, entry by entry, into a sink that
// creates the files. The walk (entries, folders, names, blocks) is the same
// on every platform; only the sink touches the file system.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

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
// bytes. The first failure ends the extraction; files written so far stay.
ZipExtractResult ExtractZip(const void* data, std::size_t size, ZipEntrySink& sink);

}  // namespace velko::bootstrap
