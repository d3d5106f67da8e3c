#pragma once
// Where the browser is installed, and the versions the update service asks for.

#include <windows.h>

#include <optional>
#include <string>

namespace velko::updater {

// The value "InstallPath" of an open key, when it is a REG_SZ or
// REG_EXPAND_SZ (not expanded) of even length ending in NUL and fits in 1000
// UTF-16 units. An empty value is accepted as an empty string.
std::optional<std::wstring> ReadInstallPathValue(HKEY key);

// HKEY_LOCAL_MACHINE\SOFTWARE\VelkoBrowser "InstallPath" when it can be read
// (existing folder or not); otherwise <Program Files>\VelkoBrowser when that
// folder exists; otherwise empty.
std::wstring ReadInstallFolder();

// The fixed file version of `executable` as "a.b.c.d"; empty without a
// version resource.
std::wstring ReadBrowserVersion(const std::wstring& executable);

// major.minor.build.platform of GetVersionExW.
std::string ReadSystemVersionText();

// True for an existing file (not a folder).
bool FileExists(const std::wstring& path);

// UTF-16 to the thread's ANSI code page.
std::string WideToAnsi(const std::wstring& text);

}  // namespace velko::updater
