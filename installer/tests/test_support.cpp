#include "test_support.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <atomic>
#include <sstream>

namespace velko::installer::test {

std::wstring ExePath() {
  wchar_t path[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  return path;
}

std::wstring ExeFolder() {
  std::wstring path = ExePath();
  return path.substr(0, path.find_last_of(L"\\/"));
}

ScratchFolder::ScratchFolder(const wchar_t* purpose) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"velko-installer-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(counter++) + L"-" + purpose;
  RemoveTree(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadWholeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

static void ListInto(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW data;
  const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring child = relative.empty() ? name : relative + L"\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ListInto(root, child, out);
    } else {
      out.push_back(child);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

std::vector<std::wstring> ListFilesRecursively(const std::wstring& folder) {
  std::vector<std::wstring> out;
  ListInto(folder, L"", out);
  return out;
}

std::vector<PackageFile> PackageFileList() {
  std::vector<PackageFile> files;
  HRSRC info = FindResourceW(nullptr, L"PACKAGE_LIST", MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (info == nullptr) return files;
  const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
  std::istringstream lines(std::string(data, SizeofResource(nullptr, info)));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string name;
    std::uint64_t size = 0;
    std::string crc;
    if (!std::getline(fields, name, '\t') || !(fields >> size >> crc)) continue;
    files.push_back({std::wstring(name.begin(), name.end()), size,
                     static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16))});
  }
  return files;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr,
                      nullptr);
  return out;
}

void InstallSampleBrowser(const std::wstring& path) {
  ASSERT_TRUE(CopyFileW((ExeFolder() + L"\\sample_browser.exe").c_str(), path.c_str(), FALSE))
      << "sample_browser.exe beside the test -> " << Narrow(path);
}

static bool AnyProcessRunsFrom(const std::wstring& folder) {
  HANDLE processes = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (processes == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  PROCESSENTRY32W process;
  process.dwSize = sizeof process;
  for (BOOL more = Process32FirstW(processes, &process); more && !found;
       more = Process32NextW(processes, &process)) {
    HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process.th32ProcessID);
    if (modules == INVALID_HANDLE_VALUE) continue;
    MODULEENTRY32W module;
    module.dwSize = sizeof module;
    if (Module32FirstW(modules, &module)) {
      found = CompareStringOrdinal(module.szExePath, static_cast<int>(folder.size()), folder.c_str(),
                                   static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL &&
              wcslen(module.szExePath) > folder.size();
    }
    CloseHandle(modules);
  }
  CloseHandle(processes);
  return found;
}

void StopSampleBrowsers(const std::wstring& folder) {
  HANDLE exit_event = CreateEventW(nullptr, TRUE, FALSE, L"Local\\VelkoSampleBrowserExit");
  if (exit_event == nullptr) return;
  SetEvent(exit_event);
  // The event stays set until every copy started from the folder has ended.
  const ULONGLONG deadline = GetTickCount64() + 10000;
  while (AnyProcessRunsFrom(folder) && GetTickCount64() < deadline) Sleep(20);
  ResetEvent(exit_event);
  CloseHandle(exit_event);
}

bool WaitForFile(const std::wstring& path, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (GetTickCount64() < deadline) {
    if (FileExists(path) && !ReadWholeFile(path).empty() &&
        ReadWholeFile(path).find("end\r\n") != std::string::npos) {
      return true;
    }
    Sleep(20);
  }
  return false;
}

}  // namespace velko::installer::test
