#include "unzip_to_folder.h"

#include <windows.h>

#include <optional>

#include "archive_entry_path.h"
#include "velko/file_utils.h"
#include "velko/path_text.h"

namespace velko::bootstrap {
namespace {

class FileWriter final : public ZipEntryWriter {
 public:
  explicit FileWriter(HANDLE file) : file_(file) {}
  ~FileWriter() override { Close(); }

  bool Write(const void* data, std::size_t length) override {
    DWORD written = 0;
    return file_ != INVALID_HANDLE_VALUE &&
           ::WriteFile(file_, data, static_cast<DWORD>(length), &written, nullptr) &&
           written == length;
  }

  bool Close() override {
    if (file_ == INVALID_HANDLE_VALUE) return true;
    const bool closed = ::CloseHandle(file_) != FALSE;
    file_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE file_;
};

class FolderSink final : public ZipEntrySink {
 public:
  explicit FolderSink(const std::wstring& folder) : folder_(folder) {}

  std::unique_ptr<ZipEntryWriter> Create(const std::string& relative_path) override {
    // The folder stays UTF-16; only the entry name is widened, so a folder
    // outside the ANSI code page is not garbled on the way.
    const std::wstring wide_name = AnsiToWide(relative_path);
    // Checked again as the name Windows will see: widening must not have
    // produced a separator, drive or ".." of its own.
    const std::optional<std::wstring> safe = SafeArchiveEntryPath(std::wstring_view(wide_name));
    if (!safe) return nullptr;
    const std::wstring destination = JoinPath<wchar_t>(folder_, *safe);
    const std::wstring parent = ParentPath<wchar_t>(destination);
    if (!parent.empty() && ::GetFileAttributesW(parent.c_str()) == INVALID_FILE_ATTRIBUTES) {
      CreateDirectoryTree(parent);
    }
    const HANDLE file = ::CreateFileW(destination.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<FileWriter>(file);
  }

 private:
  const std::wstring& folder_;
};

}  // namespace

ZipExtractResult UnzipToFolder(const void* data, std::size_t size, const std::wstring& folder) {
  FolderSink sink(folder);
  return ExtractZip(data, size, sink);
}

}  // namespace velko::bootstrap
