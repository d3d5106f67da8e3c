// Helpers of the installer tests: scratch folders, files, the package's file
// list and the programs placed beside the test executable.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velko::installer::test {

std::wstring ExeFolder();
std::wstring ExePath();

// A fresh folder below the temporary folder, removed with its contents.
class ScratchFolder {
 public:
  explicit ScratchFolder(const wchar_t* purpose);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

void RemoveTree(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
std::string ReadWholeFile(const std::wstring& path);
void WriteWholeFile(const std::wstring& path, const std::string& bytes);
// Every file below `folder`, as paths relative to it.
std::vector<std::wstring> ListFilesRecursively(const std::wstring& folder);

struct PackageFile {
  std::wstring name;  // relative, with backslashes
  std::uint64_t size;
  std::uint32_t crc32;
};
// The embedded package's file list (resource PACKAGE_LIST).
std::vector<PackageFile> PackageFileList();

std::string Narrow(const std::wstring& text);  // UTF-8, for messages

// A copy of the recording sample browser (sample_browser.exe beside the test)
// at `path`; its start records appear in "<path>.starts.txt".
void InstallSampleBrowser(const std::wstring& path);
// Asks every running sample browser to exit and waits until no program
// started from `folder` runs any more.
void StopSampleBrowsers(const std::wstring& folder);
// Waits until `path` exists (a start record being written), up to timeout_ms.
bool WaitForFile(const std::wstring& path, DWORD timeout_ms);

}  // namespace velko::installer::test
