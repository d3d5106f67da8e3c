#include "engine_storage.h"

#include <windows.h>

#include "archive_entry_path.h"
#include "velko/file_utils.h"
#include "velko/local_folder.h"
#include "velko/path_text.h"

namespace velko::bootstrap {
namespace {

constexpr wchar_t kEngineLibraryName[] = L"xldl.dll";
// No engine file is near this; a larger one is not hashed at all.
constexpr std::uint64_t kMaxEngineFileBytes = 256ull * 1024 * 1024;

bool IsExistingFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsExistingPath(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::unique_ptr<EngineStorage> MakeEngineStorage(const EngineConfig& config, bool require_hashes) {
  auto storage = std::make_unique<EngineStorage>();
  storage->save_base = ExpandFolderTokens(config.save_base_ansi);
  // An elevated program writes and loads code there: only a folder on a
  // local drive, never a share or a device path.
  if (!IsLocalDrivePath(storage->save_base)) return nullptr;
  storage->package_url = Utf8ToWide(config.download_url_utf8);
  for (const EngineFileHash& file : config.files) {
    const std::wstring wide_name = Utf8ToWide(file.name_utf8);
    const std::optional<std::wstring> name = SafeArchiveEntryPath(std::wstring_view(wide_name));
    if (!name) return nullptr;
    if (require_hashes && !file.sha256) return nullptr;
    storage->files.emplace(*name, EngineFileExpectation{file.crc, file.sha256});
  }
  if (require_hashes && storage->files.count(kEngineLibraryName) == 0) return nullptr;
  return storage;
}

std::unique_ptr<EngineStorage> ParseEngineStorage(std::string_view document, bool require_hashes) {
  const std::optional<EngineConfig> config = ParseEngineConfig(document);
  return config ? MakeEngineStorage(*config, require_hashes) : nullptr;
}

bool MatchesExpectation(const FileDigest& digest, const EngineFileExpectation& expected) {
  return digest.crc32 == expected.crc && (!expected.sha256 || digest.sha256 == *expected.sha256);
}

std::optional<VerifiedEngine> VerifyEngineFiles(const EngineStorage* storage) {
  if (storage == nullptr || !IsExistingFolder(storage->save_base)) return std::nullopt;
  VerifiedEngine verified;
  for (const auto& [name, expected] : storage->files) {
    const std::wstring path = JoinPath<wchar_t>(storage->save_base, name);
    HeldFile file(path);
    if (!file.valid()) {
      // A missing file hashes as CRC 0, as an unreadable one always did; one
      // that exists but cannot be held (a link, in use for writing) fails.
      if (IsExistingPath(path) || expected.crc != 0 || expected.sha256) return std::nullopt;
      continue;
    }
    const std::optional<FileDigest> digest = file.Digest(kMaxEngineFileBytes);
    if (!digest || !MatchesExpectation(*digest, expected)) return std::nullopt;
    verified.held.push_back(std::move(file));
  }
  const std::wstring library = EngineLibraryPath(*storage);
  if (storage->files.count(kEngineLibraryName) != 0) {
    for (const HeldFile& file : verified.held) {
      if (file.path() == library) verified.library_path = library;
    }
  } else if (HeldFile file(library); file.valid()) {
    // Not listed: taken unchecked, as before hashes existed; held all the same.
    verified.held.push_back(std::move(file));
    verified.library_path = library;
  }
  return verified;
}

std::wstring EngineLibraryPath(const EngineStorage& storage) {
  return JoinPath<wchar_t>(storage.save_base, kEngineLibraryName);
}

}  // namespace velko::bootstrap
