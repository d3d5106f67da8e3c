#include "win_test_support.h"

#include <cstring>
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

namespace velko::test_support {

bool MakeJunction(const std::wstring& link, const std::wstring& target) {
  if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
  HANDLE folder = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return false;
  // The mount-point reparse buffer: "\??\<target>" as substitute name and the
  // target as print name, each NUL-terminated, one after the other.
  const std::wstring substitute = L"\\??\\" + target;
  const USHORT substitute_bytes = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));
  const USHORT print_bytes = static_cast<USHORT>(target.size() * sizeof(wchar_t));
  std::vector<unsigned char> buffer(20 + substitute_bytes + print_bytes + 2 * sizeof(wchar_t));
  auto put16 = [&buffer](std::size_t at, USHORT value) {
    buffer[at] = static_cast<unsigned char>(value & 0xFF);
    buffer[at + 1] = static_cast<unsigned char>(value >> 8);
  };
  const DWORD tag = 0xA0000003;  // IO_REPARSE_TAG_MOUNT_POINT
  for (int i = 0; i < 4; ++i) buffer[static_cast<std::size_t>(i)] = static_cast<unsigned char>(tag >> (8 * i));
  put16(4, static_cast<USHORT>(buffer.size() - 8));  // data length
  put16(8, 0);                                         // substitute name offset
  put16(10, substitute_bytes);
  put16(12, static_cast<USHORT>(substitute_bytes + sizeof(wchar_t)));  // print name offset
  put16(14, print_bytes);
  std::memcpy(buffer.data() + 16, substitute.c_str(), substitute_bytes);
  std::memcpy(buffer.data() + 16 + substitute_bytes + sizeof(wchar_t), target.c_str(), print_bytes);
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(folder, 0x000900A4 /* FSCTL_SET_REPARSE_POINT */, buffer.data(),
                                  static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
  CloseHandle(folder);
  if (!ok) RemoveDirectoryW(link.c_str());
  return ok != FALSE;
}

}  // namespace velko::test_support
