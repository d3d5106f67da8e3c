#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "test_support.h"
#include "velko/file_utils.h"
#include "velko/installer/package_extraction.h"

namespace velko::installer {
namespace {

using test::ScratchFolder;

std::wstring TestArchive(const wchar_t* name) { return test::ExeFolder() + L"\\test_archives\\" + name; }

struct ProgressLog {
  std::vector<std::pair<std::size_t, std::size_t>> calls;
  ExtractionProgress callback() {
    return [this](std::size_t done, std::size_t total) { calls.emplace_back(done, total); };
  }
};

// The package embedded in this test program (the installer's own resources)
// goes to a temporary file and from there into a folder, byte for byte.
TEST(PackageExtractionTest, EmbeddedPackageIsInstalledWithEveryFileIntact) {
  ScratchFolder temp(L"temp");
  ScratchFolder install(L"install");
  const PackageWriteResult written = WritePackageToTempFile(test::ExePath(), temp / L"123.rar");
  ASSERT_EQ(written.status, PackageWriteStatus::kWritten);
  EXPECT_EQ(written.path, temp / L"123.rar");
  EXPECT_EQ(test::ReadWholeFile(written.path).substr(0, 7), "Rar!\x1a\x07\x01");

  ProgressLog progress;
  std::atomic<bool> stop{false};
  const ExtractionResult result = ExtractArchiveToFolder(written.path, install.path(), progress.callback(), stop);
  const std::vector<test::PackageFile> files = test::PackageFileList();
  ASSERT_EQ(files.size(), 244u) << "the sample package: 244 files in 6 folders";
  EXPECT_EQ(result.status, ExtractionStatus::kFinished);
  EXPECT_EQ(result.files_total, files.size());
  EXPECT_EQ(result.files_done, files.size());
  EXPECT_EQ(result.files_failed, 0u);
  EXPECT_EQ(result.entries_refused, 0u);
  // One progress report per file, never per folder, rising to total/total.
  ASSERT_EQ(progress.calls.size(), files.size());
  for (std::size_t i = 0; i < progress.calls.size(); ++i) {
    EXPECT_EQ(progress.calls[i], std::make_pair(i + 1, files.size()));
  }
  for (const test::PackageFile& file : files) {
    const std::wstring path = install / file.name;
    EXPECT_EQ(FileCrc32(path), file.crc32) << test::Narrow(file.name);
  }
  EXPECT_EQ(test::ListFilesRecursively(install.path()).size(), files.size());
}

TEST(PackageExtractionTest, InstallingOverAnInstallationReplacesFilesAndKeepsExtras) {
  ScratchFolder install(L"over");
  CreateDirectoryW((install / L"51.0.2704.103").c_str(), nullptr);
  test::WriteWholeFile(install / L"chrome.exe", "an older browser");
  test::WriteWholeFile(install / L"51.0.2704.103\\user_added.dat", "kept");
  std::atomic<bool> stop{false};
  ScratchFolder temp(L"temp");
  const PackageWriteResult written = WritePackageToTempFile(test::ExePath(), temp / L"1.rar");
  const ExtractionResult result = ExtractArchiveToFolder(written.path, install.path(), nullptr, stop);
  EXPECT_EQ(result.status, ExtractionStatus::kFinished);
  EXPECT_EQ(test::ReadWholeFile(install / L"51.0.2704.103\\user_added.dat"), "kept");
  const auto files = test::PackageFileList();
  const auto chrome = std::find_if(files.begin(), files.end(), [](auto& f) { return f.name == L"chrome.exe"; });
  ASSERT_NE(chrome, files.end());
  EXPECT_EQ(FileCrc32(install / L"chrome.exe"), chrome->crc32);
}

// Entries named "../x", "a/../../x", "/x", "C:x", ".../x" and "x:stream",
// and a link pointing out of the folder, are skipped; the ordinary entry
// beside them is extracted.
TEST(PackageExtractionTest, HostileEntryNamesNeverWriteOutsideTheFolder) {
  ScratchFolder outer(L"hostile");
  const std::wstring install = outer / L"deep\\install";
  CreateDirectoryW((outer / L"deep").c_str(), nullptr);
  CreateDirectoryW(install.c_str(), nullptr);
  std::atomic<bool> stop{false};
  const ExtractionResult result = ExtractArchiveToFolder(TestArchive(L"hostile.rar"), install, nullptr, stop);
  EXPECT_EQ(result.status, ExtractionStatus::kFinished);
  EXPECT_EQ(result.files_total, 8u);
  // "..", rooted and parent-like names and the link are refused; the library
  // itself turns the colon of "C:x" and "x:s" into an ordinary character, so
  // those two may land inside the folder under a harmless name.
  EXPECT_GE(result.entries_refused, 5u);
  EXPECT_FALSE(test::FileExists(install + L"\\evil_link"));
  EXPECT_TRUE(test::FileExists(install + L"\\safe\\inner_ok.txt"));
  for (const std::wstring& file : test::ListFilesRecursively(outer.path())) {
    EXPECT_EQ(file.rfind(L"deep\\install\\", 0), 0u) << "written outside: " << test::Narrow(file);
  }
  // Nor at the places the names point to.
  for (const wchar_t* path : {L"C:\\evil_rooted.txt", L"\\evil_rooted.txt", L"C:\\evil_drive.txt", L"C:evil_drive.txt"}) {
    EXPECT_FALSE(test::FileExists(path)) << test::Narrow(path);
  }
}

TEST(PackageExtractionTest, ArchivesThatCannotBeReadEndWithoutProgress) {
  ScratchFolder install(L"bad");
  std::atomic<bool> stop{false};
  struct Case {
    const wchar_t* archive;
    ExtractionStatus status;
  };
  for (const Case& c : {Case{L"corrupt.rar", ExtractionStatus::kOpenFailed},
                        Case{L"missing.rar", ExtractionStatus::kOpenFailed},
}) {
    ProgressLog progress;
    const ExtractionResult result =
        ExtractArchiveToFolder(TestArchive(c.archive), install.path(), progress.callback(), stop);
    EXPECT_EQ(result.status, c.status) << test::Narrow(c.archive) << ": " << ExtractionStatusText(result.status);
    EXPECT_TRUE(progress.calls.empty());
  }
  EXPECT_TRUE(test::ListFilesRecursively(install.path()).empty());
}

// An archive cut short ends where its data ends: headers past the cut are not
// there to be counted, and the file that is cut fails and is counted as such.
TEST(PackageExtractionTest, TruncatedArchiveReportsTheFileThatFailed) {
  ScratchFolder install(L"truncated");
  std::atomic<bool> stop{false};
  const ExtractionResult result = ExtractArchiveToFolder(TestArchive(L"truncated.rar"), install.path(), nullptr, stop);
  EXPECT_NE(result.status, ExtractionStatus::kOpenFailed);
  EXPECT_NE(result.status, ExtractionStatus::kFinished) << ExtractionStatusText(result.status);
  EXPECT_LT(result.files_total, 244u);
}

// Archives of the test archive generators hold "content of <name>\n".
std::string GeneratedContent(const std::wstring& name) { return "content of " + test::Narrow(name) + "\n"; }

void ExpectGeneratedFiles(const std::wstring& folder, const std::vector<std::wstring>& names) {
  for (const std::wstring& name : names) {
    EXPECT_EQ(test::ReadWholeFile(folder + L"\\" + name), GeneratedContent(name)) << test::Narrow(name);
  }
  EXPECT_EQ(test::ListFilesRecursively(folder).size(), names.size());
}

ExtractionResult ExtractTestArchive(const wchar_t* archive, const std::wstring& folder) {
  std::atomic<bool> stop{false};
  return ExtractArchiveToFolder(TestArchive(archive), folder, nullptr, stop);
}

// The shipped package is RAR 4 (stored here, made by our own generator), and
// solid archives need the library to unpack every file in order.
TEST(PackageExtractionTest, Rar4AndSolidPackagesInstallLikeRar5) {
  {
    ScratchFolder install(L"rar4");
    const ExtractionResult result = ExtractTestArchive(L"rar4_package.rar", install.path());
    EXPECT_EQ(result.status, ExtractionStatus::kFinished) << ExtractionStatusText(result.status);
    EXPECT_EQ(result.files_total, 4u);
    ExpectGeneratedFiles(install.path(), {L"chrome.exe", L"51.0.2704.103\\chrome.dll",
                                          L"51.0.2704.103\\Locales\\zh-CN.pak", L"updater.exe"});
  }
  {
    ScratchFolder install(L"solid");
    const ExtractionResult result = ExtractTestArchive(L"solid.rar", install.path());
    EXPECT_EQ(result.status, ExtractionStatus::kFinished) << ExtractionStatusText(result.status);
    ExpectGeneratedFiles(install.path(), {L"s1.txt", L"s2.txt", L"s3.txt", L"s4.txt", L"s5.txt", L"dir\\s6.txt"});
  }
}

// Names outside the ANSI code page (Western here) are written under their
// own names, in RAR 4's and in RAR 5's Unicode form; the two emoji names
// would collapse into one "emoji_??.txt" through the narrow name.
TEST(PackageExtractionTest, UnicodeEntryNamesAreWrittenUnderTheirOwnNames) {
  std::printf("ANSI code page %u\n", GetACP());
  for (const wchar_t* archive : {L"rar4_unicode.rar", L"unicode5.rar"}) {
    SCOPED_TRACE(test::Narrow(archive));
    ScratchFolder install(L"unicode");
    const ExtractionResult result = ExtractTestArchive(archive, install.path());
    EXPECT_EQ(result.status, ExtractionStatus::kFinished) << ExtractionStatusText(result.status);
    ExpectGeneratedFiles(install.path(), {L"日本語.txt", L"フォルダ\\ファイル.txt", L"岚石\\资源.pak",
                                          L"emoji_😀.txt", L"emoji_😎.txt", L"ascii.txt"});
  }
}

// CON, NUL.txt, COM1 ... would open devices: each is refused like a name
// that leaves the folder, and every entry after it is still written.
TEST(PackageExtractionTest, DeviceNamedEntriesAreRefusedAndTheOthersWritten) {
  ScratchFolder install(L"devices");
  const ExtractionResult result = ExtractTestArchive(L"rar4_devices.rar", install.path());
  EXPECT_EQ(result.status, ExtractionStatus::kFinished) << ExtractionStatusText(result.status);
  EXPECT_EQ(result.entries_refused, 6u);
  ExpectGeneratedFiles(install.path(), {L"after_0.txt", L"after_1.txt", L"after_2.txt", L"after_3.txt",
                                        L"after_4.txt", L"after_5.txt"});
}

// A file the library cannot unpack ends the extraction as a failure that
// names it; a damaged header stops it before anything is written.
TEST(PackageExtractionTest, FilesThatCannotBeUnpackedFailTheExtraction) {
  struct Case {
    const wchar_t* archive;
    const wchar_t* failed_entry;
    const char* reason;
  };
  for (const Case& c : {Case{L"rar4_bad_crc.rar", L"bad_crc.txt", "checksum error"},
                        Case{L"rar4_encrypted.rar", L"secret.txt", "encrypted"}}) {
    SCOPED_TRACE(test::Narrow(c.archive));
    ScratchFolder install(L"failing");
    const ExtractionResult result = ExtractTestArchive(c.archive, install.path());
    EXPECT_EQ(result.status, ExtractionStatus::kFileFailed) << ExtractionStatusText(result.status);
    EXPECT_EQ(result.failed_entry, c.failed_entry);
    EXPECT_STREQ(LibraryErrorText(result.library_error), c.reason);
    EXPECT_FALSE(test::FileExists(install / L"last.txt"));
  }
  ScratchFolder install(L"damaged");
  EXPECT_EQ(ExtractTestArchive(L"rar4_damaged.rar", install.path()).status, ExtractionStatus::kDamaged);
  EXPECT_TRUE(test::ListFilesRecursively(install.path()).empty());
}

TEST(PackageExtractionTest, StopFlagEndsTheExtractionBetweenEntries) {
  ScratchFolder temp(L"temp");
  ScratchFolder install(L"stop");
  const PackageWriteResult written = WritePackageToTempFile(test::ExePath(), temp / L"2.rar");
  std::atomic<bool> stop{false};
  std::size_t reports = 0;
  const ExtractionResult result = ExtractArchiveToFolder(
      written.path, install.path(),
      [&](std::size_t done, std::size_t) {
        ++reports;
        if (done == 10) stop = true;
      },
      stop);
  EXPECT_EQ(result.status, ExtractionStatus::kStopped);
  EXPECT_EQ(reports, 10u);
  EXPECT_LE(test::ListFilesRecursively(install.path()).size(), 10u);
}

TEST(PackageResourceTest, MissingModuleResourceOrFolderIsReported) {
  ScratchFolder temp(L"res");
  EXPECT_EQ(WritePackageToTempFile(temp / L"no-such.exe", temp / L"a.rar").status,
            PackageWriteStatus::kModuleNotLoadable);
  // The sample browser has no package resource.
  const PackageWriteResult no_resource =
      WritePackageToTempFile(test::ExeFolder() + L"\\sample_browser.exe", temp / L"b.rar");
  EXPECT_EQ(no_resource.status, PackageWriteStatus::kResourceMissing);
  EXPECT_TRUE(no_resource.path.empty());
  EXPECT_FALSE(test::FileExists(temp / L"b.rar"));
  const PackageWriteResult no_folder = WritePackageToTempFile(test::ExePath(), temp / L"missing\\c.rar");
  EXPECT_EQ(no_folder.status, PackageWriteStatus::kFileNotCreatable);
  EXPECT_TRUE(no_folder.path.empty());
}

}  // namespace
}  // namespace velko::installer
