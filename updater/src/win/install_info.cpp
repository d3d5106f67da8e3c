#include "install_info.h"

#include <shlobj.h>

#include <vector>

#include "version_text.h"

namespace velko::updater {
namespace {

constexpr wchar_t kInstallKey[] = L"SOFTWARE\\VelkoBrowser";
constexpr wchar_t kInstallValue[] = L"InstallPath";
constexpr REGSAM kInstallKeyAccess = 0x2001F;  // KEY_READ | KEY_WRITE
constexpr DWORD kInstallPathChars = 1000;

std::wstring DefaultInstallFolder() {
  wchar_t program_files[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, program_files, CSIDL_PROGRAM_FILES, FALSE)) {
    return {};
  }
  std::wstring folder = std::wstring(program_files) + L"\\VelkoBrowser";
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return {};
  }
  return folder;
}

}  // namespace

std::optional<std::wstring> ReadInstallPathValue(HKEY key) {
  wchar_t buffer[kInstallPathChars] = {};
  DWORD type = 0;
  DWORD bytes = sizeof(buffer);
  if (::RegQueryValueExW(key, kInstallValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  if ((type != REG_SZ && type != REG_EXPAND_SZ) || bytes % sizeof(wchar_t) != 0) {
    return std::nullopt;
  }
  const DWORD chars = bytes / sizeof(wchar_t);
  if (chars == 0) {
    return std::wstring();
  }
  if (buffer[chars - 1] != L'\0') {
    return std::nullopt;
  }
  return std::wstring(buffer);  // up to the first NUL
}

std::wstring ReadInstallFolder() {
  HKEY key = nullptr;
  std::optional<std::wstring> value;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstallKey, 0, kInstallKeyAccess, &key) ==
      ERROR_SUCCESS) {
    value = ReadInstallPathValue(key);
    ::RegCloseKey(key);
  }
  return value ? *value : DefaultInstallFolder();
}

std::wstring ReadBrowserVersion(const std::wstring& executable) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(executable.c_str(), &ignored);
  if (size == 0) {
    return {};
  }
  std::vector<BYTE> block(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_bytes = 0;
  if (!::GetFileVersionInfoW(executable.c_str(), 0, size, block.data()) ||
      !::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_bytes) ||
      fixed == nullptr || fixed_bytes < sizeof(VS_FIXEDFILEINFO)) {
    return {};
  }
  const std::string text = FormatFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
  return std::wstring(text.begin(), text.end());
}

std::string ReadSystemVersionText() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ::GetVersionExW(&info);
#pragma GCC diagnostic pop
  return FormatVersionQuad(info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                           info.dwPlatformId);
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string WideToAnsi(const std::wstring& text) {
  if (text.empty()) {
    return {};
  }
  const int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(),
                          size, nullptr, nullptr);
  }
  return result;
}

}  // namespace velko::updater
