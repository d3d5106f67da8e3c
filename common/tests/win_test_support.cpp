#include "win_test_support.h"

#include <filesystem>
#include <system_error>

namespace velko::test_support {
namespace {

std::wstring UniqueName() {
  static LONG counter = 0;
  return L"velko_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
         std::to_wstring(InterlockedIncrement(&counter)) + L"_" + std::to_wstring(GetTickCount64());
}

}  // namespace

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  path_ = std::wstring(temp, length) + UniqueName();
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path_), ignored);
}

std::wstring TempFolder::Child(std::wstring_view name) const {
  return path_ + L"\\" + std::wstring(name);
}

bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = bytes.empty() ||
                  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool WriteText(const std::wstring& path, std::string_view text) {
  return WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SetWriteTimeFromNow(const std::wstring& path, std::int64_t offset_seconds) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER value;
  value.LowPart = now.dwLowDateTime;
  value.HighPart = now.dwHighDateTime;
  value.QuadPart += static_cast<std::uint64_t>(offset_seconds * 10'000'000LL);
  FILETIME write_time;
  write_time.dwLowDateTime = value.LowPart;
  write_time.dwHighDateTime = value.HighPart;
  // Folders need backup semantics to be opened at all.
  HANDLE handle = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const BOOL ok = SetFileTime(handle, nullptr, nullptr, &write_time);
  CloseHandle(handle);
  return ok != FALSE;
}

std::wstring ExecutableFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path.substr(0, path.find_last_of(L"\\/"));
}

std::vector<unsigned char> PatternBytes(std::size_t count) {
  std::vector<unsigned char> bytes(count);
  std::uint32_t state = 2463534242u;
  for (auto& b : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    b = static_cast<unsigned char>(state);
  }
  return bytes;
}

}  // namespace velko::test_support
