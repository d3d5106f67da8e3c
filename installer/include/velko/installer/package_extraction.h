// Turning the package resource into files: copying the embedded archive to a
// temporary file, then unpacking it (velko/rar_extraction.h) in two passes
// (counting, then extracting with progress).
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "velko/rar_extraction.h"

namespace velko::installer {

// Name and type of the browser package resource.
inline constexpr wchar_t kPackageResourceName[] = L"PACKAGE";
inline constexpr wchar_t kPackageResourceType[] = L"PDATA";

enum class PackageWriteStatus {
  kWritten,
  kModuleNotLoadable,  // the file holding the resource cannot be loaded as data
  kResourceMissing,    // no PACKAGE/PDATA resource in it
  kNameTaken,          // a file of that name exists already (it is left alone)
  kFileNotCreatable,   // the temporary file cannot be created
  kWriteFailed,        // created, but not all bytes were written (the file exists)
};

// The open handle of the temporary archive; closed when the owner goes.
class HeldFile {
 public:
  HeldFile() = default;
  explicit HeldFile(HANDLE handle) : handle_(handle) {}
  HeldFile(HeldFile&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  HeldFile& operator=(HeldFile&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  ~HeldFile() { Close(); }
  bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (is_open()) CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

struct PackageWriteResult {
  PackageWriteStatus status = PackageWriteStatus::kModuleNotLoadable;
  std::wstring path;         // set when the file was created (kWritten, kWriteFailed)
  unsigned long long bytes = 0;
  // kWritten: the file stays open, shared for reading only, as long as this
  // result lives. The installer runs elevated and the file lies in a folder
  // the user can write: while the handle is open no other process can write,
  // rename or delete it, so both extraction passes (which open it again by
  // name, for reading) read the bytes written here.
  HeldFile file;
};

// Loads `module_path` as a data file, finds the package resource and writes it
// to `temp_archive_path`, which must not exist yet (a file planted under that
// name is never written through), with one write straight from the mapped
// resource, so the package is never copied in memory.
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
