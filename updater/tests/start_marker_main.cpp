// Stands in for the unpacked updater.exe in the apply tests: records that it
// was started, and with which command line, in "started.txt" beside itself.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t own_path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, own_path, MAX_PATH);
  std::wstring marker = own_path;
  marker.resize(marker.find_last_of(L'\\') + 1);
  marker += L"started.txt";
  const std::wstring line = ::GetCommandLineW();
  HANDLE file = ::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  ::WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written,
              nullptr);
  ::CloseHandle(file);
  return 0;
}
