// Where the installer puts things: the install folder and the temporary copy
// of the package archive.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velko::installer {

inline constexpr wchar_t kInstallFolderName[] = L"VelkoBrowser";

// "<Program Files>\VelkoBrowser" as the system reports Program Files to this
// process (the 32-bit folder for the 32-bit installer on a 64-bit system).
// nullopt when the system names no Program Files folder: the installer must
// then not fall back to a relative path.
std::optional<std::wstring> InstallFolderPath();

// The user's local application-data folder (created if missing), or nullopt.
std::optional<std::wstring> LocalAppDataFolder();

// "<folder>\<tick>.rar": a new name per run, from the tick count.
std::wstring TempArchivePath(std::wstring_view folder, unsigned long tick_count);

}  // namespace velko::installer
