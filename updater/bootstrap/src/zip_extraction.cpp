#include "zip_extraction.h"

#include <minizip/unzip.h>

#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "archive_entry_path.h"
#include "memory_zip_source.h"

namespace velko::bootstrap {
namespace {

constexpr unsigned long kFolderAttribute = 0x10;

// Closes the archive on every way out.
class OpenArchive {
 public:
  OpenArchive(const void* data, std::size_t size) {
    source_.data = static_cast<const unsigned char*>(data);
    source_.size = size;
    zlib_filefunc64_def funcs = MakeMemoryZipFileFuncs(&source_);
    handle_ = unzOpen2_64(nullptr, &funcs);
  }
  ~OpenArchive() {
    if (handle_ != nullptr) unzClose(handle_);
  }
  OpenArchive(const OpenArchive&) = delete;
  OpenArchive& operator=(const OpenArchive&) = delete;

  unzFile handle() const { return handle_; }

 private:
  MemoryZipSource source_;
  unzFile handle_ = nullptr;
};

bool IsFolderEntry(const unz_file_info64& info, std::string_view name) {
  return (info.external_fa & kFolderAttribute) != 0 ||
         (!name.empty() && IsEntrySeparator(name.back()));
}

// Bytes unpacked so far, against the limits.
struct UnpackBudget {
  const ZipLimits& limits;
  std::uint64_t total_bytes = 0;
  int entries = 0;
};

// Copies the current entry into `writer` block by block.
ZipExtractStatus CopyEntry(unzFile archive, ZipEntryWriter& writer, UnpackBudget& budget) {
  if (unzOpenCurrentFile(archive) != UNZ_OK) return ZipExtractStatus::kCannotRead;
  std::vector<unsigned char> block(kZipReadBlockBytes);
  ZipExtractStatus status = ZipExtractStatus::kOk;
  std::uint64_t entry_bytes = 0;
  for (;;) {
    const int read = unzReadCurrentFile(archive, block.data(), static_cast<unsigned>(block.size()));
    if (read < 0) {
      status = ZipExtractStatus::kCannotRead;
      break;
    }
    if (read == 0) break;
    entry_bytes += static_cast<std::uint64_t>(read);
    budget.total_bytes += static_cast<std::uint64_t>(read);
    if (entry_bytes > budget.limits.max_entry_bytes ||
        budget.total_bytes > budget.limits.max_total_bytes) {
      status = ZipExtractStatus::kTooLarge;
      break;
    }
    if (!writer.Write(block.data(), static_cast<std::size_t>(read))) {
      status = ZipExtractStatus::kCannotWrite;
      break;
    }
  }
  // A damaged entry reports its CRC mismatch only here.
  const int closed = unzCloseCurrentFile(archive);
  if (status == ZipExtractStatus::kOk && closed != UNZ_OK) status = ZipExtractStatus::kCannotRead;
  if (!writer.Close() && status == ZipExtractStatus::kOk) status = ZipExtractStatus::kCannotWrite;
  return status;
}

// Unpacks the current entry; counts it in `result`.
ZipExtractStatus ExtractCurrentEntry(unzFile archive, ZipEntrySink& sink, ZipExtractResult& result,
                                     UnpackBudget& budget) {
  if (++budget.entries > budget.limits.max_entries) return ZipExtractStatus::kTooLarge;
  unz_file_info64 info{};
  char name[kZipNameBufferBytes] = {};
  if (unzGetCurrentFileInfo64(archive, &info, name, sizeof(name), nullptr, 0, nullptr, 0) != UNZ_OK) {
    return ZipExtractStatus::kBadEntry;
  }
  // A name that did not fit the buffer arrives cut, naming another file.
  if (info.size_filename >= sizeof(name)) {
    ++result.unsafe_entries_skipped;
    return ZipExtractStatus::kOk;
  }
  const std::string_view entry_name(name, info.size_filename);
  if (IsFolderEntry(info, entry_name)) return ZipExtractStatus::kOk;
  const std::optional<std::string> path = SafeArchiveEntryPath(entry_name);
  if (!path) {
    ++result.unsafe_entries_skipped;
    return ZipExtractStatus::kOk;
  }
  // Refused on the declared size before a byte is unpacked.
  if (info.uncompressed_size > budget.limits.max_entry_bytes ||
      info.uncompressed_size > budget.limits.max_total_bytes - budget.total_bytes) {
    return ZipExtractStatus::kTooLarge;
  }
  std::unique_ptr<ZipEntryWriter> writer = sink.Create(*path);
  if (writer == nullptr) return ZipExtractStatus::kCannotCreate;
  const ZipExtractStatus copied = CopyEntry(archive, *writer, budget);
  if (copied == ZipExtractStatus::kOk) ++result.files_written;
  return copied;
}

}  // namespace

ZipExtractResult ExtractZip(const void* data, std::size_t size, ZipEntrySink& sink,
                            const ZipLimits& limits) {
  ZipExtractResult result;
  UnpackBudget budget{limits};
  OpenArchive archive(data, size);
  if (archive.handle() == nullptr) {
    result.status = ZipExtractStatus::kCannotOpen;
    return result;
  }
  // An archive without entries has no current entry: its information read fails.
  int step = unzGoToFirstFile(archive.handle());
  for (;;) {
    if (step != UNZ_OK && step != UNZ_END_OF_LIST_OF_FILE) {
      result.status = ZipExtractStatus::kBadEntry;
      return result;
    }
    result.status = ExtractCurrentEntry(archive.handle(), sink, result, budget);
    if (!result.ok()) return result;
    step = unzGoToNextFile(archive.handle());
    if (step == UNZ_END_OF_LIST_OF_FILE) return result;
  }
}

namespace {

// Collects the files in memory; an allocation failure fails the write.
class MemorySink final : public ZipEntrySink {
 public:
  explicit MemorySink(std::vector<UnpackedZipFile>& files) : files_(files) {}

  std::unique_ptr<ZipEntryWriter> Create(const std::string& relative_path) override {
    try {
      files_.push_back({relative_path, {}});
      return std::make_unique<Writer>(files_.back().bytes);
    } catch (const std::exception&) {
      return nullptr;
    }
  }

 private:
  class Writer final : public ZipEntryWriter {
   public:
    explicit Writer(std::string& target) : target_(target) {}
    bool Write(const void* data, std::size_t length) override {
      try {
        target_.append(static_cast<const char*>(data), length);
        return true;
      } catch (const std::exception&) {
        return false;
      }
    }
    bool Close() override { return true; }

   private:
    std::string& target_;
  };

  std::vector<UnpackedZipFile>& files_;
};

}  // namespace

UnpackedZip UnpackZipToMemory(const void* data, std::size_t size, const ZipLimits& limits) {
  UnpackedZip unpacked;
  MemorySink sink(unpacked.files);
  unpacked.result = ExtractZip(data, size, sink, limits);
  // Running out of memory is a size problem of the package, not of the disk.
  if (unpacked.result.status == ZipExtractStatus::kCannotCreate ||
      unpacked.result.status == ZipExtractStatus::kCannotWrite) {
    unpacked.result.status = ZipExtractStatus::kTooLarge;
  }
  return unpacked;
}

}  // namespace velko::bootstrap
