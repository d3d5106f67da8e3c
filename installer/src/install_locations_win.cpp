#include "velko/installer/install_locations.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>

#include "velko/file_utils.h"
#include "velko/path_text.h"

namespace velko::installer {
namespace {
constexpr DWORD kFolderBufferChars = 1000;
}

std::optional<std::wstring> InstallFolderPath() {
  std::wstring program_files(kFolderBufferChars, L'\0');
  if (!SHGetSpecialFolderPathW(nullptr, program_files.data(), CSIDL_PROGRAM_FILES, FALSE)) {
    return std::nullopt;
  }
  program_files.resize(wcsnlen(program_files.c_str(), program_files.size()));
  if (program_files.empty()) return std::nullopt;
  return JoinPath<wchar_t>(program_files, kInstallFolderName);
}

std::optional<std::wstring> LocalAppDataFolder() {
  std::optional<std::wstring> folder = TryExpandFolderTokens("CSIDL_LOCAL_APPDATA");
  if (!folder || folder->empty()) return std::nullopt;
  return folder;
}

std::wstring TempArchivePath(std::wstring_view folder, unsigned long tick_count) {
  wchar_t name[32];
  swprintf(name, 32, L"%lu.rar", tick_count);
  return JoinPath<wchar_t>(folder, name);
}

}  // namespace velko::installer
