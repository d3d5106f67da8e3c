#include "package_apply.h"

#include <shlobj.h>

#include <atomic>
#include <cwchar>

#include "self_copy_command_line.h"
#include "velko/path_text.h"
#include "velko/process_start.h"

namespace velko::updater {
namespace {
constexpr DWORD kFolderBufferChars = 1000;
}

std::optional<std::wstring> ApplyTargetFolder() {
  std::wstring program_files(kFolderBufferChars, L'\0');
  if (!::SHGetSpecialFolderPathW(nullptr, program_files.data(), CSIDL_PROGRAM_FILES, FALSE)) {
    return std::nullopt;
  }
  program_files.resize(wcsnlen(program_files.c_str(), program_files.size()));
  if (program_files.empty()) return std::nullopt;
  return JoinPath<wchar_t>(program_files, kInstallFolderName);
}

PackageExtractionOutcome ExtractPackage(const std::wstring& package_path,
                                        const std::wstring& target_folder, bool wait_and_restart,
                                        DWORD wait_ms) {
  PackageExtractionOutcome outcome;
  // An empty path would make the library open nothing useful; say so plainly.
  if (package_path.empty() || target_folder.empty()) return outcome;
  ExtractionHooks hooks;
  if (wait_and_restart) {
    // The updater that started this copy ends right after starting it; once
    // it has, its files (updater.exe among them) can be replaced.
    hooks.between_passes = [wait_ms] { ::Sleep(wait_ms); };
  }
  const std::atomic<bool> never_stop{false};
  outcome.extraction = ExtractArchiveToFolder(package_path, target_folder, hooks, never_stop);
  if (wait_and_restart && outcome.extraction.status == ExtractionStatus::kFinished) {
    outcome.updater_started = StartInstalledUpdater(target_folder);
  }
  return outcome;
}

bool StartInstalledUpdater(const std::wstring& target_folder) {
  const std::wstring program = JoinPath<wchar_t>(target_folder, kInstalledUpdaterName);
  return StartDetachedWithNewConsole(program, QuotedProgramCommandLine(program));
}

}  // namespace velko::updater
