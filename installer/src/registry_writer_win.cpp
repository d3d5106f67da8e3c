#include "velko/installer/browser_registration.h"

namespace velko::installer {
namespace {

HKEY RootKey(RegistryRoot root, const RegistryRoots& roots) {
  return root == RegistryRoot::kLocalMachine ? roots.local_machine : roots.classes_root;
}

LSTATUS WriteValue(HKEY key, const RegistryEntry& row) {
  const wchar_t* name = row.value_name ? row.value_name->c_str() : nullptr;
  if (const auto* text = std::get_if<std::wstring>(&row.data)) {
    // REG_SZ data is stored with its terminating NUL.
    const DWORD bytes = static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()), bytes);
  }
  if (const auto* number = std::get_if<std::uint32_t>(&row.data)) {
    const DWORD value = *number;
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  return ERROR_SUCCESS;  // key only
}

// No registry-view flag: a 32-bit installer writes the 32-bit view.
bool WriteRow(const RegistryEntry& row, const RegistryRoots& roots) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(RootKey(row.root, roots), row.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LSTATUS status = WriteValue(key, row);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

}  // namespace

RegistrationResult WriteRegistrationTable(const std::vector<RegistryEntry>& table,
                                          const RegistryRoots& roots) {
  RegistrationResult result;
  for (const RegistryEntry& row : table) {
    if (WriteRow(row, roots)) {
      ++result.rows_written;
    } else {
      ++result.rows_failed;
    }
  }
  return result;
}

RegistrationResult RegisterBrowser(const std::wstring& install_folder) {
  return WriteRegistrationTable(BuildRegistrationTable(install_folder));
}

}  // namespace velko::installer
