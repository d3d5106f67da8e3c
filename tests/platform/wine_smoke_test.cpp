// Proves that the Windows test executables really execute under Wine: the test
// fails on a real Windows (no wine_get_version) and cannot pass without running.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

namespace {

using WineGetVersion = const char*(__cdecl*)();

TEST(WineSmoke, RunsUnderWineAndPrintsItsVersion) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  ASSERT_NE(ntdll, nullptr);
  auto get_version = reinterpret_cast<WineGetVersion>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
  ASSERT_NE(get_version, nullptr) << "not running under Wine";
  std::printf("wine-smoke: executing under Wine %s as a %d-bit Windows process\n",
              get_version(), static_cast<int>(sizeof(void*) * 8));
  std::fflush(stdout);
}

TEST(WineSmoke, WindowsApisWork) {
  wchar_t dir[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryW(dir, MAX_PATH), 0u);
  EXPECT_NE(GetFileAttributesW(dir), INVALID_FILE_ATTRIBUTES);
  EXPECT_GT(GetTickCount(), 0u);
}

}  // namespace
