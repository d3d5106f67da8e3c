#include "engine_storage.h"

#include <windows.h>

#include "velko/file_utils.h"
#include "velko/path_text.h"

namespace velko::bootstrap {
namespace {

// "X:\..." or "\server\...". Anything else would be resolved against the
// current folder, which for a scheduled task is the system folder.
bool IsAbsoluteFolder(const std::wstring& path) {
  const bool drive = path.size() >= 3 && path[1] == L':' && IsPathSeparator(path[2]) &&
                     ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
  const bool unc = path.size() >= 3 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]);
  return drive || unc;
}

}  // namespace

std::unique_ptr<EngineStorage> MakeEngineStorage(const EngineConfig& config) {
  auto storage = std::make_unique<EngineStorage>();
  storage->save_base = ExpandFolderTokens(config.save_base_ansi);
  if (!IsAbsoluteFolder(storage->save_base)) return nullptr;
  storage->package_url = Utf8ToWide(config.download_url_utf8);
  for (const EngineFileHash& file : config.files) {
    storage->files.emplace(Utf8ToWide(file.name_utf8), file.crc);
  }
  return storage;
}

std::unique_ptr<EngineStorage> ParseEngineStorage(std::string_view document) {
  const std::optional<EngineConfig> config = ParseEngineConfig(document);
  return config ? MakeEngineStorage(*config) : nullptr;
}

bool VerifyEngineFiles(const EngineStorage* storage) {
  if (storage == nullptr) return false;
  const DWORD attributes = ::GetFileAttributesW(storage->save_base.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return false;
  }
  for (const auto& [name, crc] : storage->files) {
    if (FileCrc32(JoinPath<wchar_t>(storage->save_base, name)) != crc) return false;
  }
  return true;
}

std::wstring EngineLibraryPath(const EngineStorage& storage) {
  return JoinPath<wchar_t>(storage.save_base, L"xldl.dll");
}

}  // namespace velko::bootstrap
