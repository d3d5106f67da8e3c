#include "self_copy.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "self_copy_command_line.h"
#include "velko/engine/engine_download_steps.h"
#include "velko/process_start.h"

namespace velko::updater {
namespace {

constexpr DWORD kModulePathChars = 1000;

std::optional<std::wstring> OwnExecutablePath(HINSTANCE instance) {
  std::vector<wchar_t> buffer(kModulePathChars, L'\0');
  const DWORD length = ::GetModuleFileNameW(instance, buffer.data(), kModulePathChars - 1);
  // A cut path (length at the limit) would name another file.
  if (length == 0 || length >= kModulePathChars - 1) return std::nullopt;
  return std::wstring(buffer.data(), length);
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
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

bool StartSelfCopy(HINSTANCE instance, const std::wstring& package_path) {
  const std::optional<std::wstring> own_path = OwnExecutablePath(instance);
  if (!own_path) return false;
  const std::optional<std::wstring> copy_path =
      MakeSelfCopyPath(engine::DefaultDownloadFolder());
  if (!copy_path) return false;
  ::CopyFileW(own_path->c_str(), copy_path->c_str(), FALSE);
  if (!FileExists(*copy_path)) return false;

  return StartDetachedWithNewConsole(*copy_path, SelfCopyCommandLine(*copy_path, package_path));
}

}  // namespace velko::updater
