// Two passes over the archive with the UnRAR library: the first only reads
// headers to count the files (skipping costs no unpacking), the second
// extracts each file to a destination name of our own making, so that the
// library never decides where a file goes.
#include <windows.h>
#include <unrar/dll.hpp>

#include <cwchar>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "velko/archive_entry_name.h"
#include "velko/file_utils.h"
#include "velko/path_text.h"
#include "velko/rar_extraction.h"

namespace velko {
namespace {

constexpr unsigned int kCommentBufferBytes = 16384;

// Answers the library's questions: no further volumes, no password, and
// "stop" while a file is being written once the stop flag is raised.
int CALLBACK LibraryCallback(UINT message, LPARAM user_data, LPARAM, LPARAM) {
  const auto* stop = reinterpret_cast<const std::atomic<bool>*>(user_data);
  if (message == UCM_PROCESSDATA) return stop->load() ? -1 : 1;
  return -1;
}

class OpenArchive {
 public:
  OpenArchive(const std::wstring& path, const std::atomic<bool>& stop)
      : comment_(kCommentBufferBytes), path_(path) {
    RAROpenArchiveDataEx data{};
    data.ArcNameW = path_.data();
    data.OpenMode = RAR_OM_EXTRACT;
    data.CmtBuf = comment_.data();  // the comment is read and not used
    data.CmtBufSize = kCommentBufferBytes;
    data.Callback = LibraryCallback;
    data.UserData = reinterpret_cast<LPARAM>(&stop);
    handle_ = RAROpenArchiveEx(&data);
    if (data.OpenResult != ERAR_SUCCESS && handle_ != nullptr) {
      RARCloseArchive(handle_);
      handle_ = nullptr;
    }
  }
  ~OpenArchive() {
    if (handle_ != nullptr) RARCloseArchive(handle_);
  }
  OpenArchive(const OpenArchive&) = delete;
  OpenArchive& operator=(const OpenArchive&) = delete;

  HANDLE get() const { return handle_; }

 private:
  std::vector<char> comment_;
  std::wstring path_;
  HANDLE handle_ = nullptr;
};

bool IsFolder(const RARHeaderDataEx& header) { return (header.Flags & RHDF_DIRECTORY) != 0; }

// The library's wide name: for a name stored in Unicode it is exact, where
// the narrow FileName would have lost every character outside the ANSI code
// page (and two such names could collapse into one file); for a narrow name
// it is that name widened, as before.
std::wstring EntryName(const RARHeaderDataEx& header) {
  return std::wstring(header.FileNameW, wcsnlen(header.FileNameW, std::size(header.FileNameW)));
}

enum class CountStatus { kCounted, kOpenFailed, kDamaged };

CountStatus CountFiles(const std::wstring& archive_path, const std::atomic<bool>& stop,
                       std::size_t& files) {
  OpenArchive archive(archive_path, stop);
  if (archive.get() == nullptr) return CountStatus::kOpenFailed;
  auto header = std::make_unique<RARHeaderDataEx>();
  int code;
  while ((code = RARReadHeaderEx(archive.get(), header.get())) == ERAR_SUCCESS) {
    if (!IsFolder(*header)) ++files;
    RARProcessFile(archive.get(), RAR_SKIP, nullptr, nullptr);
  }
  return code == ERAR_END_ARCHIVE ? CountStatus::kCounted : CountStatus::kDamaged;
}

// The destination of a file entry, or nothing when the entry must not be
// written: a name that would resolve outside the folder, or a link (whose
// target the library would create wherever it points).
std::optional<std::wstring> Destination(const RARHeaderDataEx& header, const std::wstring& folder) {
  if (header.RedirType != 0) return std::nullopt;
  const std::wstring name = EntryName(header);
  if (!IsSafeArchiveEntryName(std::wstring_view(name))) return std::nullopt;
  return JoinPath<wchar_t>(folder, name);
}

}  // namespace

ExtractionResult ExtractArchiveToFolder(const std::wstring& archive_path, const std::wstring& folder,
                                        const ExtractionHooks& hooks,
                                        const std::atomic<bool>& stop) {
  ExtractionResult result;
  const CountStatus counted = CountFiles(archive_path, stop, result.files_total);
  if (counted != CountStatus::kCounted) {
    result.status = counted == CountStatus::kOpenFailed ? ExtractionStatus::kOpenFailed
                                                        : ExtractionStatus::kDamaged;
    return result;
  }
  if (hooks.between_passes) hooks.between_passes();
  OpenArchive archive(archive_path, stop);
  if (archive.get() == nullptr) {
    result.status = ExtractionStatus::kReopenFailed;
    return result;
  }
  auto header = std::make_unique<RARHeaderDataEx>();
  int code;
  while ((code = RARReadHeaderEx(archive.get(), header.get())) == ERAR_SUCCESS) {
    if (stop.load()) {
      result.status = ExtractionStatus::kStopped;
      return result;
    }
    if (IsFolder(*header)) {
      // Folders come into being with the files written into them.
      RARProcessFile(archive.get(), RAR_SKIP, nullptr, nullptr);
      continue;
    }
    if (std::optional<std::wstring> destination = Destination(*header, folder)) {
      const int error = RARProcessFileW(archive.get(), RAR_EXTRACT, nullptr, destination->data());
      if (error != ERAR_SUCCESS) {
        // A file that is not there, or not whole, makes a broken install:
        // the pass ends and the caller removes what was written.
        ++result.files_failed;
        result.failed_entry = EntryName(*header);
        result.library_error = error;
        result.status = stop.load() ? ExtractionStatus::kStopped : ExtractionStatus::kFileFailed;
        return result;
      }
    } else {
      RARProcessFile(archive.get(), RAR_SKIP, nullptr, nullptr);
      ++result.entries_refused;
    }
    ++result.files_done;
    if (hooks.progress) hooks.progress(result.files_done, result.files_total);
  }
  if (stop.load()) {
    result.status = ExtractionStatus::kStopped;
  } else if (code != ERAR_END_ARCHIVE) {
    result.status = ExtractionStatus::kDamaged;
  } else if (result.files_done < result.files_total) {
    result.status = ExtractionStatus::kIncomplete;
  } else {
    result.status = ExtractionStatus::kFinished;
  }
  return result;
}

const char* ExtractionStatusText(ExtractionStatus status) {
  switch (status) {
    case ExtractionStatus::kFinished: return "finished";
    case ExtractionStatus::kOpenFailed: return "open failed";
    case ExtractionStatus::kReopenFailed: return "reopen failed";
    case ExtractionStatus::kDamaged: return "damaged";
    case ExtractionStatus::kStopped: return "stopped";
    case ExtractionStatus::kFileFailed: return "file failed";
    case ExtractionStatus::kIncomplete: return "incomplete";
  }
  return "unknown";
}

const char* LibraryErrorText(int library_error) {
  switch (library_error) {
    case ERAR_SUCCESS: return "no error";
    case ERAR_BAD_DATA: return "checksum error";
    case ERAR_MISSING_PASSWORD:
    case ERAR_BAD_PASSWORD: return "encrypted";
    case ERAR_UNKNOWN_FORMAT: return "unsupported method";
    case ERAR_NO_MEMORY: return "out of memory";
    case ERAR_ECREATE:
    case ERAR_EWRITE: return "cannot write the file";
    case ERAR_EOPEN:
    case ERAR_EREAD: return "cannot read the archive";
    case ERAR_EREFERENCE: return "missing reference";
  }
  return "extraction error";
}

}  // namespace velko
