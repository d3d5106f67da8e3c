// Turning the package resource into files: copying the embedded archive to a
// temporary file, and unpacking an archive into a folder in two passes
// (counting, then extracting with progress).
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

namespace velko::installer {

// Name and type of the browser package resource.
inline constexpr wchar_t kPackageResourceName[] = L"PACKAGE";
inline constexpr wchar_t kPackageResourceType[] = L"PDATA";

enum class PackageWriteStatus {
  kWritten,
  kModuleNotLoadable,  // the file holding the resource cannot be loaded as data
  kResourceMissing,    // no PACKAGE/PDATA resource in it
  kFileNotCreatable,   // the temporary file cannot be created
  kWriteFailed,        // created, but not all bytes were written (the file exists)
};

struct PackageWriteResult {
  PackageWriteStatus status = PackageWriteStatus::kModuleNotLoadable;
  std::wstring path;         // set when the file was created (kWritten, kWriteFailed)
  unsigned long long bytes = 0;
};

// Loads `module_path` as a data file, finds the package resource and writes it
// to `temp_archive_path` with one write straight from the mapped resource, so
// the package is never copied in memory.
PackageWriteResult WritePackageToTempFile(const std::wstring& module_path,
                                          const std::wstring& temp_archive_path);

enum class ExtractionStatus {
  kFinished,
  kOpenFailed,    // the first opening (counting pass) failed
  kReopenFailed,  // the second opening (extracting pass) failed
  kDamaged,       // a header could not be read before the archive's end
  kStopped,       // the stop flag was raised
};

struct ExtractionResult {
  ExtractionStatus status = ExtractionStatus::kOpenFailed;
  std::size_t files_total = 0;      // file entries counted in the first pass
  std::size_t files_done = 0;       // file entries handled in the second pass
  std::size_t files_failed = 0;     // handed to the library, which reported an error
  std::size_t entries_refused = 0;  // names leaving the folder, or links: never written
};

// Called after each file entry of the second pass with (done, total).
using ExtractionProgress = std::function<void(std::size_t done, std::size_t total)>;

// Unpacks every file of the archive below `folder`, creating missing folders.
// Entry names that would resolve outside the folder (absolute, drive or UNC
// prefix, ".." components) and link entries are skipped. `stop` is checked
// between entries and while a file is being written.
ExtractionResult ExtractArchiveToFolder(const std::wstring& archive_path,
                                        const std::wstring& folder,
                                        const ExtractionProgress& progress,
                                        const std::atomic<bool>& stop);

const char* ExtractionStatusText(ExtractionStatus status);

}  // namespace velko::installer
