// The temporary copy of the updater: made only under a new name, identical
// to the original and held against writers until it is started; its command
// line read back by the real split; old copies deleted; and the run lock.
#include "self_copy.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <thread>

#include "command_line.h"
#include "read_file_win.h"
#include "self_copy_command_line.h"
#include "updater_run_lock.h"
#include "win_test_support.h"

namespace velko::updater {
namespace {

using test_support::TempFolder;

std::wstring OwnExecutable() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

TEST(VerifiedSelfCopy, IsByteIdenticalAndHeldAgainstWriters) {
  TempFolder folder;
  const std::wstring path = folder.Child(L"uper1.exe");
  {
    const std::optional<VerifiedSelfCopy> copy = VerifiedSelfCopy::Create(OwnExecutable(), path);
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(test_support::ReadWholeFile(path), test_support::ReadWholeFile(OwnExecutable()));
    EXPECT_FALSE(test_support::WriteText(path, "MZ swapped"));
    EXPECT_FALSE(::DeleteFileW(path.c_str()));
  }
  EXPECT_TRUE(::DeleteFileW(path.c_str())) << "released once the copy object goes";
}

// A file planted under the name is neither overwritten nor offered to start.
TEST(VerifiedSelfCopy, PlantedFileUnderTheNameIsNeverUsed) {
  TempFolder folder;
  const std::wstring path = folder.Child(L"uper2.exe");
  ASSERT_TRUE(test_support::WriteText(path, "MZ planted"));
  EXPECT_FALSE(VerifiedSelfCopy::Create(OwnExecutable(), path).has_value());
  EXPECT_EQ(test_support::ReadWholeFile(path), std::optional<std::string>("MZ planted"));
}

TEST(DeleteOldSelfCopies, RemovesCopiesInTheBaseAndTmpFoldersOnly) {
  TempFolder base;
  TempFolder tmp;
  for (const std::wstring& path : {base.Child(L"uperA.exe"), tmp.Child(L"uperB.exe"),
                                   base.Child(L"keep.exe"), base.Child(L"uper.txt")}) {
    ASSERT_TRUE(test_support::WriteText(path, "x"));
  }
  wchar_t saved[1024] = {};
  const DWORD had_tmp = ::GetEnvironmentVariableW(L"TMP", saved, 1024);
  ASSERT_EQ(_wputenv_s(L"TMP", tmp.path().c_str()), 0);
  EXPECT_EQ(DeleteOldSelfCopies(base.path()), 2);
  _wputenv_s(L"TMP", had_tmp != 0 ? saved : L"");
  EXPECT_FALSE(test_support::Exists(base.Child(L"uperA.exe")));
  EXPECT_FALSE(test_support::Exists(tmp.Child(L"uperB.exe")));
  EXPECT_TRUE(test_support::Exists(base.Child(L"keep.exe")));
  EXPECT_TRUE(test_support::Exists(base.Child(L"uper.txt")));
}

// The line the copy is started with, split as Windows splits it and read as
// the updater reads it: extract mode with exactly the package path.
TEST(SelfCopyCommandLine, SplitsBackIntoExtractModeWithThePackagePath) {
  for (const wchar_t* package :
       {L"C:\\Users\\A B\\AppData\\Local\\commdl\\velko 2.rar", L"C:\\\u5c9a\u77f3\\p.rar",
        L"C:\\odd\\folder\\", L"", L"C:\\x\\-Task"}) {
    const std::wstring line = SelfCopyCommandLine(L"C:\\Users\\A B\\Temp\\uper2.exe", package);
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(line.c_str(), &count);
    ASSERT_NE(argv, nullptr);
    const std::vector<std::wstring> arguments(argv, argv + count);
    ::LocalFree(argv);
    ASSERT_EQ(arguments.size(), 3u) << line;
    EXPECT_EQ(arguments[0], L"C:\\Users\\A B\\Temp\\uper2.exe");
    const UpdaterCommandLine parsed = ParseUpdaterCommandLine(arguments);
    EXPECT_EQ(parsed.mode, UpdaterMode::kExtract) << line;
    EXPECT_EQ(parsed.extra, package) << line;
  }
}

// Mutexes belong to threads: the second holder tries from another one, as a
// second updater process would.
bool AcquiredElsewhere() {
  bool acquired = false;
  std::thread([&acquired] { acquired = UpdaterRunLock::Acquire(0).has_value(); }).join();
  return acquired;
}

TEST(UpdaterRunLock, SecondHolderIsRefusedUntilTheFirstLetsGo) {
  {
    const std::optional<UpdaterRunLock> first = UpdaterRunLock::Acquire(0);
    ASSERT_TRUE(first.has_value());
    EXPECT_FALSE(AcquiredElsewhere());
  }
  EXPECT_TRUE(AcquiredElsewhere());
}

}  // namespace
}  // namespace velko::updater
