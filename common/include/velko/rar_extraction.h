// Unpacking a RAR archive into a folder in two passes with the UnRAR library:
// the first pass only reads the headers (counting the files), the second
// extracts each file to a destination name of our own making.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

namespace velko {

enum class ExtractionStatus {
  kFinished,
  kOpenFailed,    // the first opening (counting pass) failed
  kReopenFailed,  // the second opening (extracting pass) failed
  kDamaged,       // a header could not be read before the archive's end
  kStopped,       // the stop flag was raised
  kFileFailed,    // the library could not write a file (bad checksum, encrypted,
                  // unsupported method, disk full): the pass ends there
  kIncomplete,    // the second pass handled fewer files than the first counted
};

struct ExtractionResult {
  ExtractionStatus status = ExtractionStatus::kOpenFailed;
  std::size_t files_total = 0;      // file entries counted in the first pass
  std::size_t files_done = 0;       // file entries handled in the second pass
  std::size_t files_failed = 0;     // handed to the library, which reported an error
  std::size_t entries_refused = 0;  // names leaving the folder, device names, or links: never written
  std::wstring failed_entry;        // kFileFailed: the entry's name
  int library_error = 0;            // kFileFailed: the library's ERAR_ code
};

// Called after each file entry of the second pass with (done, total).
using ExtractionProgress = std::function<void(std::size_t done, std::size_t total)>;

struct ExtractionHooks {
  ExtractionProgress progress;
  // Called once after a complete first pass, before the archive is opened
  // again (the updater's copy waits here for its starter to end).
  std::function<void()> between_passes;
};

// Unpacks every file of the archive below `folder`, creating missing folders.
// Entry names are the library's wide names. Names that would resolve outside
// the folder (absolute, drive or UNC prefix, ".." components), device names
// and link entries are skipped. `stop` is checked between entries and while a
// file is being written. A first pass that ends on a damaged header counts as
// complete only when the archive's end was reached, so a damaged archive is
// never extracted. Only kFinished means that every file was written; on any
// other status the files written so far are left for the caller to remove.
ExtractionResult ExtractArchiveToFolder(const std::wstring& archive_path,
                                        const std::wstring& folder,
                                        const ExtractionHooks& hooks,
                                        const std::atomic<bool>& stop);

inline ExtractionResult ExtractArchiveToFolder(const std::wstring& archive_path,
                                               const std::wstring& folder,
                                               const ExtractionProgress& progress,
                                               const std::atomic<bool>& stop) {
  return ExtractArchiveToFolder(archive_path, folder, ExtractionHooks{progress, nullptr}, stop);
}

const char* ExtractionStatusText(ExtractionStatus status);
// What the library's ERAR_ code of a failed file means, in a few words.
const char* LibraryErrorText(int library_error);

}  // namespace velko
