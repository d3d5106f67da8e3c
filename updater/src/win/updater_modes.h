#pragma once
// The three modes of the updater; each returns the process exit code.

#include <windows.h>

#include <string>

namespace velko::updater {

int RunRegisterMode(HINSTANCE instance);
int RunTaskMode(HINSTANCE instance, int show_command);
int RunExtractMode(HINSTANCE instance, const std::wstring& package_path);

}  // namespace velko::updater
