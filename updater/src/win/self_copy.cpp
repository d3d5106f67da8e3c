#include "self_copy.h"

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "self_copy_command_line.h"
#include "velko/engine/engine_download_steps.h"
#include "velko/file_digest.h"
#include "velko/path_text.h"
#include "velko/process_start.h"

namespace velko::updater {
namespace {

constexpr DWORD kModulePathChars = 1000;
// Names taken by other files are skipped; this many tries is plenty for
// names that are meant to be unique.
constexpr int kCopyNameAttempts = 16;
constexpr DWORD kCopyBlockBytes = 64 * 1024;

std::optional<std::wstring> OwnExecutablePath(HINSTANCE instance) {
  std::vector<wchar_t> buffer(kModulePathChars, L'\0');
  const DWORD length = ::GetModuleFileNameW(instance, buffer.data(), kModulePathChars - 1);
  // A cut path (length at the limit) would name another file.
  if (length == 0 || length >= kModulePathChars - 1) return std::nullopt;
  return std::wstring(buffer.data(), length);
}

// The service may shorten the prefix (Windows' temporary names keep only its
// first three letters); the copies are recognised by "uper", so the file name
// gets the full prefix back, and ".exe" so that it can be started.
std::wstring WithSelfCopyPrefix(const std::wstring& service_path) {
  const std::size_t name_start = service_path.find_last_of(L"\\/") + 1;
  std::wstring name = service_path.substr(name_start);
  if (const std::size_t dot = name.find(L'.'); dot != std::wstring::npos) name.resize(dot);
  if (name.rfind(kSelfCopyPrefix, 0) != 0) name.insert(0, kSelfCopyPrefix);
  return service_path.substr(0, name_start) + name + kSelfCopyExtension;
}

bool CopyContents(HANDLE from, HANDLE to) {
  std::vector<unsigned char> block(kCopyBlockBytes);
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(from, block.data(), kCopyBlockBytes, &read, nullptr)) return false;
    if (read == 0) return true;
    DWORD written = 0;
    if (!::WriteFile(to, block.data(), read, &written, nullptr) || written != read) return false;
  }
}

HANDLE OpenForReading(const std::wstring& path, DWORD share) {
  return ::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// Writes the copy through a handle of its own creation, then trades it for a
// read-only handle that refuses writers. That last open succeeds only while
// no other handle may write, so nobody can have slipped in a change that
// the comparison below would not see.
HANDLE WriteAndHoldCopy(const HeldFile& source, const std::wstring& copy_path) {
  const HANDLE writer = ::CreateFileW(copy_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (writer == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;
  LARGE_INTEGER start{};
  bool ok = ::SetFilePointerEx(source.handle(), start, nullptr, FILE_BEGIN) &&
            CopyContents(source.handle(), writer);
  const HANDLE bridge = OpenForReading(copy_path, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ::CloseHandle(writer);
  HANDLE held = INVALID_HANDLE_VALUE;
  if (ok && bridge != INVALID_HANDLE_VALUE) held = OpenForReading(copy_path, FILE_SHARE_READ);
  if (bridge != INVALID_HANDLE_VALUE) ::CloseHandle(bridge);
  if (held == INVALID_HANDLE_VALUE) ::DeleteFileW(copy_path.c_str());
  return held;
}

std::vector<std::wstring> SelfCopyFolders(const std::wstring& base_folder) {
  std::vector<std::wstring> folders;
  if (!base_folder.empty()) folders.push_back(base_folder);
  if (const wchar_t* tmp = ::_wgetenv(L"TMP"); tmp != nullptr && *tmp != L'\0') {
    folders.emplace_back(tmp);
  }
  return folders;
}

}  // namespace

std::optional<std::wstring> MakeSelfCopyPath(const std::wstring& base_folder) {
  std::wstring path;
  if (wchar_t* name = ::_wtempnam(base_folder.c_str(), kSelfCopyPrefix)) {
    path = name;
    std::free(name);
  } else {
    // Some runtimes give up when TMP names a missing folder instead of
    // falling back to the base folder; do that fallback here.
    wchar_t name_buffer[MAX_PATH] = {};
    if (::GetTempFileNameW(base_folder.c_str(), kSelfCopyPrefix, 0, name_buffer) == 0) {
      return std::nullopt;
    }
    ::DeleteFileW(name_buffer);  // only the unique name is wanted
    path = name_buffer;
  }
  return WithSelfCopyPrefix(path);
}

std::optional<VerifiedSelfCopy> VerifiedSelfCopy::Create(const std::wstring& source,
                                                         const std::wstring& copy_path) {
  const HeldFile original(source);
  const std::optional<FileDigest> expected = original.Digest();
  if (!expected) return std::nullopt;
  const HANDLE held = WriteAndHoldCopy(original, copy_path);
  if (held == INVALID_HANDLE_VALUE) return std::nullopt;
  // The copy as it now is, read back through the handle that keeps it so.
  const std::optional<FileDigest> actual = DigestOpenFile(held);
  if (!actual || actual->size != expected->size || actual->sha256 != expected->sha256) {
    ::CloseHandle(held);
    ::DeleteFileW(copy_path.c_str());
    return std::nullopt;
  }
  return VerifiedSelfCopy(copy_path, held);
}

VerifiedSelfCopy::~VerifiedSelfCopy() {
  if (held_ != INVALID_HANDLE_VALUE) ::CloseHandle(held_);
}

VerifiedSelfCopy::VerifiedSelfCopy(VerifiedSelfCopy&& other) noexcept
    : path_(std::move(other.path_)), held_(std::exchange(other.held_, INVALID_HANDLE_VALUE)) {}

bool StartSelfCopy(HINSTANCE instance, const std::wstring& package_path) {
  const std::optional<std::wstring> own_path = OwnExecutablePath(instance);
  if (!own_path) return false;
  const std::wstring base_folder = engine::DefaultDownloadFolder();
  for (int attempt = 0; attempt < kCopyNameAttempts; ++attempt) {
    const std::optional<std::wstring> copy_path = MakeSelfCopyPath(base_folder);
    if (!copy_path) return false;
    if (::GetFileAttributesW(copy_path->c_str()) != INVALID_FILE_ATTRIBUTES) continue;  // taken
    const std::optional<VerifiedSelfCopy> copy = VerifiedSelfCopy::Create(*own_path, *copy_path);
    if (!copy) continue;
    // Started while the copy is still held against writers.
    return StartDetachedWithNewConsole(copy->path(), SelfCopyCommandLine(copy->path(), package_path));
  }
  return false;
}

int DeleteOldSelfCopies(const std::wstring& base_folder) {
  int deleted = 0;
  for (const std::wstring& folder : SelfCopyFolders(base_folder)) {
    const std::wstring pattern =
        JoinPath<wchar_t>(folder, std::wstring(kSelfCopyPrefix) + L"*" + kSelfCopyExtension);
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if ((data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0) {
        found.push_back(JoinPath<wchar_t>(folder, data.cFileName));
      }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    for (const std::wstring& path : found) {
      if (::DeleteFileW(path.c_str())) ++deleted;  // a running copy stays
    }
  }
  return deleted;
}

}  // namespace velko::updater
