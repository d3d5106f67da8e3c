// Files the apply and controller tests find beside the test executable
// (copied there by the build), and small waiting helpers.
#pragma once

#include <windows.h>

#include <string>

#include "win_test_support.h"

namespace velko::updater::testing {

inline std::wstring BesideTest(const wchar_t* name) {
  return test_support::ExecutableFolder() + L"\\" + name;
}

// apply_package.rar: updater.exe (start marker), readme.txt, data\nested\file.txt.
inline std::wstring ApplyPackagePath() { return BesideTest(L"apply_package.rar"); }
inline std::wstring CorruptArchivePath() { return BesideTest(L"corrupt.rar"); }
inline std::wstring HostileArchivePath() { return BesideTest(L"hostile.rar"); }
inline std::wstring ReferenceEnginePath() { return BesideTest(L"xldl.dll"); }
inline std::wstring NoExportsEnginePath() { return BesideTest(L"xldl_no_exports.dll"); }

// Waits until `path` exists, at most `timeout_ms`.
inline bool WaitForFile(const std::wstring& path, DWORD timeout_ms) {
  const ULONGLONG deadline = ::GetTickCount64() + timeout_ms;
  while (::GetTickCount64() < deadline) {
    if (test_support::Exists(path)) return true;
    ::Sleep(50);
  }
  return test_support::Exists(path);
}

}  // namespace velko::updater::testing
