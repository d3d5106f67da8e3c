// Unpacking an update package into the install folder: both passes, the
// restart of the unpacked updater in extract mode, and archives that must
// change nothing.
#include "package_apply.h"

#include <gtest/gtest.h>

#include <filesystem>

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

TEST(ExtractPackage, InPlaceWritesNestedFilesAndStartsNothing) {
  TempFolder target;
  const PackageExtractionOutcome outcome =
      ExtractPackage(testing::ApplyPackagePath(), target.path(), false, 0);
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
    EXPECT_FALSE(outcome.updater_started);
    EXPECT_EQ(CountEntries(target.path()), 0u);
  }
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
