// Registration of the installed browser with Windows as a web browser: the
// start-menu Internet client with its capabilities, the registered
// applications entry and the document class, as one ordered table of rows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace velko::installer {

enum class RegistryRoot { kLocalMachine, kClassesRoot };

struct KeyOnly {};  // the row creates its key and writes no value

struct RegistryEntry {
  RegistryRoot root;
  std::wstring key;
  std::optional<std::wstring> value_name;  // nullopt: the key's default value
  std::variant<KeyOnly, std::wstring, std::uint32_t> data;  // REG_SZ or REG_DWORD
};

inline constexpr wchar_t kStartMenuClientKey[] = L"SOFTWARE\\Clients\\StartMenuInternet\\Velko Browser";
inline constexpr wchar_t kDocumentClassKey[] = L"ChromeVelkoHTML";
inline constexpr std::size_t kRegistrationRowCount = 44;

// The 44 rows in the order they are written, for the install folder `dir`
// (without a trailing backslash). An empty `dir` gives empty paths in the
// rows that name the browser, as the installer has nothing better to write.
std::vector<RegistryEntry> BuildRegistrationTable(const std::wstring& dir);

// The keys the roots stand for; tests redirect them to scratch keys.
struct RegistryRoots {
  HKEY local_machine = HKEY_LOCAL_MACHINE;
  HKEY classes_root = HKEY_CLASSES_ROOT;
};

struct RegistrationResult {
  std::size_t rows_written = 0;  // key created and, if any, value written
  std::size_t rows_failed = 0;   // each failing row is skipped on its own
};

// Writes every row independently: a row whose key cannot be created or whose
// value cannot be written is skipped and the rest go on.
RegistrationResult WriteRegistrationTable(const std::vector<RegistryEntry>& table,
                                          const RegistryRoots& roots = {});

// The handler of the controller's WM_REGISTER_BROWSER.
RegistrationResult RegisterBrowser(const std::wstring& install_folder);

}  // namespace velko::installer
