// Turning the package resource into files: copying the embedded archive to a
// temporary file, then unpacking it (velko/rar_extraction.h) in two passes
// (counting, then extracting with progress).
#pragma once

#include <string>

#include "velko/rar_extraction.h"

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

// The two-pass RAR extraction is shared with the updater.
using velko::ExtractArchiveToFolder;
using velko::ExtractionHooks;
using velko::ExtractionProgress;
using velko::ExtractionResult;
using velko::ExtractionStatus;
using velko::ExtractionStatusText;

}  // namespace velko::installer
