// Applying an update package to the install folder: both passes, the
// restart of the unpacked updater in extract mode, archives that must change
// nothing, files in use, and applies killed at every step of the swap.
#include "package_apply.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <cwchar>
#include <map>

#include "apply_test_files.h"
#include "read_file_win.h"
#include "self_copy_command_line.h"

namespace velko::updater {
namespace {

using test_support::Exists;
using test_support::TempFolder;
using testing::WaitForFile;

std::size_t CountEntries(const std::wstring& folder) {
  std::size_t count = 0;
  for (auto it = std::filesystem::recursive_directory_iterator(folder);
       it != std::filesystem::recursive_directory_iterator(); ++it) {
    ++count;
  }
  return count;
}

// Every file below `folder` with its content, by relative path.
std::map<std::wstring, std::string> FolderContents(const std::wstring& folder) {
  std::map<std::wstring, std::string> contents;
  if (!std::filesystem::exists(folder)) return contents;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const std::wstring path = entry.path().wstring();
    contents[path.substr(folder.size() + 1)] = test_support::ReadWholeFile(path).value_or("<unreadable>");
  }
  return contents;
}

// Nothing of an apply is left beside the install folder.
void ExpectNoLeftovers(const std::wstring& target) {
  EXPECT_FALSE(Exists(StagingFolderFor(target)));
  EXPECT_FALSE(Exists(BackupFolderFor(target)));
  EXPECT_FALSE(Exists(SwapJournalFor(target)));
}

// Version 1 as installed: three files the package replaces and one it lacks.
void InstallVersion1(const std::wstring& target) {
  ASSERT_TRUE(std::filesystem::create_directories(target + L"\\data\\nested"));
  ASSERT_TRUE(test_support::WriteText(target + L"\\updater.exe", "old updater\n"));
  ASSERT_TRUE(test_support::WriteText(target + L"\\readme.txt", "version 1\n"));
  ASSERT_TRUE(test_support::WriteText(target + L"\\data\\nested\\file.txt", "old nested\n"));
  ASSERT_TRUE(test_support::WriteText(target + L"\\only_in_v1.txt", "kept\n"));
}

std::map<std::wstring, std::string> Version2Over1(const std::map<std::wstring, std::string>& version1) {
  std::map<std::wstring, std::string> expected = version1;
  expected[L"readme.txt"] = "version 2\n";
  expected[L"data\\nested\\file.txt"] = "nested content\n";
  expected[L"updater.exe"] = test_support::ReadWholeFile(testing::BesideTest(L"updater_test_start_marker.exe")).value_or("");
  return expected;
}

DWORD RunAndWait(std::wstring command) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return 0xFFFF;
  }
  ::WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0xFFFF;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return code;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

TEST(ExtractPackage, InPlaceWritesNestedFilesAndStartsNothing) {
  TempFolder target;
  const PackageExtractionOutcome outcome =
      ExtractPackage(testing::ApplyPackagePath(), target.path(), false, 0);
  EXPECT_EQ(outcome.status, ApplyStatus::kApplied);
  EXPECT_EQ(outcome.extraction.status, ExtractionStatus::kFinished);
  EXPECT_EQ(outcome.extraction.files_total, 3u);
  EXPECT_FALSE(outcome.updater_started);
  EXPECT_EQ(test_support::ReadWholeFile(target.Child(L"data\\nested\\file.txt")),
            std::optional<std::string>("nested content\n"));
  EXPECT_TRUE(Exists(target.Child(L"readme.txt")));
  EXPECT_TRUE(Exists(target.Child(L"updater.exe")));
  ::Sleep(300);
  EXPECT_FALSE(Exists(target.Child(L"started.txt")));
}

TEST(ExtractPackage, ExtractModeReplacesFilesThenStartsTheUnpackedUpdaterWithoutArguments) {
  TempFolder target;
  ASSERT_TRUE(test_support::WriteText(target.Child(L"readme.txt"), "version 1\n"));
  const PackageExtractionOutcome outcome =
      ExtractPackage(testing::ApplyPackagePath(), target.path(), true, 200);
  EXPECT_EQ(outcome.extraction.status, ExtractionStatus::kFinished);
  EXPECT_TRUE(outcome.updater_started);
  ExpectNoLeftovers(target.path());
  EXPECT_EQ(test_support::ReadWholeFile(target.Child(L"readme.txt")),
            std::optional<std::string>("version 2\n"));
  ASSERT_TRUE(WaitForFile(target.Child(L"started.txt"), 10000));
  ::Sleep(200);  // let the marker finish writing
  const std::optional<std::string> recorded = test_support::ReadWholeFile(target.Child(L"started.txt"));
  ASSERT_TRUE(recorded.has_value());
  const std::wstring command_line(reinterpret_cast<const wchar_t*>(recorded->data()),
                                  recorded->size() / sizeof(wchar_t));
  EXPECT_EQ(command_line, QuotedProgramCommandLine(target.Child(L"updater.exe")));
}

// Nothing opens: no file is written and, in extract mode, no updater is
// started (the installation is left as it was).
TEST(ExtractPackage, ArchivesThatDoNotOpenChangeNothing) {
  for (const std::wstring& package :
       {std::wstring(), testing::BesideTest(L"no_such_package.rar"), testing::CorruptArchivePath()}) {
    TempFolder target;
    const PackageExtractionOutcome outcome = ExtractPackage(package, target.path(), true, 0);
    EXPECT_NE(outcome.extraction.status, ExtractionStatus::kFinished);
    EXPECT_NE(outcome.status, ApplyStatus::kApplied);
    EXPECT_FALSE(outcome.updater_started);
    EXPECT_EQ(CountEntries(target.path()), 0u);
    ExpectNoLeftovers(target.path());
  }
}

// A file that another program holds open cannot be replaced: the apply
// fails, names it, and the whole old version stays (no file of the package
// is installed, not even those that could have been).
TEST(ApplyPackage, FileInUseKeepsTheOldVersionAndIsReported) {
  TempFolder outer;
  const std::wstring target = outer.Child(L"VelkoBrowser");
  InstallVersion1(target);
  const std::map<std::wstring, std::string> version1 = FolderContents(target);
  const std::wstring locked = target + L"\\readme.txt";
  HANDLE holder = ::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const PackageExtractionOutcome outcome = ApplyPackage(testing::ApplyPackagePath(), target, ApplyOptions{true, 0, nullptr});
  ::CloseHandle(holder);
  EXPECT_EQ(outcome.status, ApplyStatus::kFilesInUse) << ApplyStatusText(outcome.status);
  EXPECT_EQ(outcome.swap.file, locked);
  EXPECT_FALSE(outcome.updater_started);
  EXPECT_EQ(FolderContents(target), version1);
  ExpectNoLeftovers(target);
}

// The apply ended abruptly at each step: the old files or the new ones, never
// a lost file; the next run's recovery leaves exactly one version (the old
// one unless the swap had committed), and the next apply installs the new one.
TEST(ApplyPackage, KilledAtAnyStepLeavesAVersionThatTheNextRunRepairs) {
  const std::pair<const wchar_t*, bool> points[] = {
      {L"staged", false}, {L"journal written", false}, {L"half swapped", false},
      {L"all swapped", false}, {L"committed", true}};
  for (const auto& [point, new_version_stands] : points) {
    SCOPED_TRACE(std::string(point, point + std::wcslen(point)));
    TempFolder outer;
    const std::wstring target = outer.Child(L"VelkoBrowser");
    InstallVersion1(target);
    const std::map<std::wstring, std::string> version1 = FolderContents(target);
    const std::map<std::wstring, std::string> version2 = Version2Over1(version1);
    const DWORD code = RunAndWait(Quoted(testing::BesideTest(L"updater_test_apply_runner.exe")) + L" apply " +
                                  Quoted(testing::ApplyPackagePath()) + L" " + Quoted(target) + L" " +
                                  Quoted(point));
    ASSERT_EQ(code, 3u) << "the runner did not reach the point";
    const std::map<std::wstring, std::string> killed = FolderContents(target);
    for (const auto& [name, content] : version1) {
      EXPECT_TRUE(killed.count(name) == 1 && (content == killed.at(name) || version2.at(name) == killed.at(name)))
          << "lost or damaged: " << std::filesystem::path(name).string();
    }
    const bool journal_stands = !new_version_stands && std::wcscmp(point, L"staged") != 0;
    EXPECT_EQ(RecoverInterruptedApply(target),
              journal_stands ? RecoveryOutcome::kRolledBack : RecoveryOutcome::kCleanedUp);
    EXPECT_EQ(RecoverInterruptedApply(target), RecoveryOutcome::kNothingToDo);
    EXPECT_EQ(FolderContents(target), new_version_stands ? version2 : version1);
    ExpectNoLeftovers(target);
    EXPECT_EQ(ApplyPackage(testing::ApplyPackagePath(), target, ApplyOptions{}).status, ApplyStatus::kApplied);
    EXPECT_EQ(FolderContents(target), version2);
    ExpectNoLeftovers(target);
  }
}

// Extract mode waits on its parent's process handle: it goes on as soon as
// the parent has ended, and no longer than the deadline while it runs.
TEST(WaitForParentToEnd, ReturnsWhenTheParentEndsOrAtTheDeadline) {
  TempFolder folder;
  const std::wstring runner = Quoted(testing::BesideTest(L"updater_test_apply_runner.exe"));
  const std::wstring ended_file = folder.Child(L"ended.txt");
  ASSERT_EQ(RunAndWait(runner + L" start-waiter 60000 " + Quoted(ended_file)), 0u);
  ASSERT_TRUE(WaitForFile(ended_file, 30000));
  ::Sleep(200);
  EXPECT_EQ(test_support::ReadWholeFile(ended_file), std::optional<std::string>("ended"));
  // This test is the parent here, and it outlives the deadline.
  const std::wstring timed_out_file = folder.Child(L"timed_out.txt");
  ASSERT_EQ(RunAndWait(runner + L" wait-parent 300 " + Quoted(timed_out_file)), 0u);
  EXPECT_EQ(test_support::ReadWholeFile(timed_out_file), std::optional<std::string>("timed out"));
}

TEST(ExtractPackage, HostileEntryNamesStayInsideTheTarget) {
  TempFolder outer;
  const std::wstring target = outer.Child(L"deep\\VelkoBrowser");
  ASSERT_TRUE(std::filesystem::create_directories(target));
  const PackageExtractionOutcome outcome =
      ExtractPackage(testing::HostileArchivePath(), target, false, 0);
  EXPECT_EQ(outcome.extraction.status, ExtractionStatus::kFinished);
  EXPECT_GE(outcome.extraction.entries_refused, 5u);
  EXPECT_TRUE(Exists(target + L"\\safe\\inner_ok.txt"));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(outer.path())) {
    if (!entry.is_regular_file()) continue;
    const std::wstring path = entry.path().wstring();
    EXPECT_EQ(path.rfind(target, 0), 0u) << "outside the target: " << entry.path().string();
  }
}

TEST(ApplyTargetFolder, IsVelkoBrowserBelowProgramFiles) {
  const std::optional<std::wstring> folder = ApplyTargetFolder();
  ASSERT_TRUE(folder.has_value());
  EXPECT_TRUE(folder->ends_with(L"\\VelkoBrowser"));
  EXPECT_NE(folder->find(L':'), std::wstring::npos);  // never a relative path
}

}  // namespace
}  // namespace velko::updater
