#include <windows.h>

#include "velko/installer/package_extraction.h"

namespace velko::installer {
namespace {

// The module loaded as a data file; freed on every path out.
class DataFileModule {
 public:
  explicit DataFileModule(const std::wstring& path)
      : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataFileModule() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  DataFileModule(const DataFileModule&) = delete;
  DataFileModule& operator=(const DataFileModule&) = delete;
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

struct ResourceBytes {
  const void* data = nullptr;
  DWORD size = 0;
};

ResourceBytes FindPackage(HMODULE module) {
  HRSRC info = FindResourceW(module, kPackageResourceName, kPackageResourceType);
  if (info == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, info);
  if (loaded == nullptr) return {};
  return {LockResource(loaded), SizeofResource(module, info)};
}

}  // namespace

PackageWriteResult WritePackageToTempFile(const std::wstring& module_path,
                                          const std::wstring& temp_archive_path) {
  PackageWriteResult result;
  DataFileModule module(module_path);
  if (module.get() == nullptr) return result;
  const ResourceBytes package = FindPackage(module.get());
  if (package.data == nullptr) {
    result.status = PackageWriteStatus::kResourceMissing;
    return result;
  }
  // Others may read (the archive library opens it again by name, shared for
  // reading and writing, read access only) but never write or delete it.
  HANDLE file = CreateFileW(temp_archive_path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    result.status = GetLastError() == ERROR_FILE_EXISTS ? PackageWriteStatus::kNameTaken
                                                          : PackageWriteStatus::kFileNotCreatable;
    return result;
  }
  result.file = HeldFile(file);
  result.path = temp_archive_path;
  // One write straight from the mapped resource: the package (tens of MB) is
  // never copied in memory.
  DWORD written = 0;
  const BOOL ok = WriteFile(file, package.data, package.size, &written, nullptr);
  result.bytes = written;
  // A short write would leave a truncated archive whose damage shows only in
  // the middle of the extraction; it is reported instead.
  result.status = ok && written == package.size ? PackageWriteStatus::kWritten : PackageWriteStatus::kWriteFailed;
  if (result.status != PackageWriteStatus::kWritten) result.file.Close();
  return result;
}

}  // namespace velko::installer
