#pragma once
// The temporary copy of the running updater that applies a package in
// extract mode, so that the installed updater.exe itself can be replaced.

#include <windows.h>

#include <optional>
#include <string>

namespace velko::updater {

// A new name "uper<suffix>.exe" from the C runtime's temporary-name service:
// in the folder named by TMP when it exists, else in `base_folder` when it
// exists, else in a folder of the runtime's choice. nullopt when the service
// gives no name.
std::optional<std::wstring> MakeSelfCopyPath(const std::wstring& base_folder);

// Copies the executable of `instance` to a new temporary name and starts the
// copy with "-Extra" and the package path. True when the copy was started;
// the copy is not waited for.
bool StartSelfCopy(HINSTANCE instance, const std::wstring& package_path);

}  // namespace velko::updater
