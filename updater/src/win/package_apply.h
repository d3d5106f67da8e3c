#pragma once
// Applying a downloaded update package to the installation: the target
// folder, the two-pass unpacking, and the restart of the unpacked updater.

#include <windows.h>

#include <optional>
#include <string>

#include "velko/rar_extraction.h"

namespace velko::updater {

inline constexpr wchar_t kInstallFolderName[] = L"VelkoBrowser";
inline constexpr wchar_t kInstalledUpdaterName[] = L"updater.exe";

// "<Program Files>\VelkoBrowser" as the system reports Program Files to this
// process (the 32-bit folder for the 32-bit updater on a 64-bit system): the
// folder the installer installs into. nullopt when the system names no
// Program Files folder, so that nothing is ever unpacked below a relative
// path.
std::optional<std::wstring> ApplyTargetFolder();

struct PackageExtractionOutcome {
  ExtractionResult extraction;
  bool updater_started = false;  // only ever with wait_and_restart
};

// Unpacks the package into `target_folder` in two passes. With
// `wait_and_restart` (extract mode) it waits between the passes for the
// starting updater to end, and after a complete second pass starts the
// unpacked updater without a switch (register mode). An archive that does not
// open, or opens only once, changes nothing and starts nothing; a damaged one
// is not unpacked at all.
PackageExtractionOutcome ExtractPackage(const std::wstring& package_path,
                                        const std::wstring& target_folder, bool wait_and_restart,
                                        DWORD wait_ms);

// Starts "<folder>\updater.exe" with no arguments; the handles are closed
// (nothing waits for it). True when the process started.
bool StartInstalledUpdater(const std::wstring& target_folder);

}  // namespace velko::updater
