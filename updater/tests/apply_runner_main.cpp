// Helper of the apply tests (never shipped). Ending a process at a chosen
// moment is the only faithful way to test what a killed apply leaves:
//   apply PACKAGE TARGET POINT      applies the package to TARGET and ends the
//                                   process abruptly (exit code 3) at POINT
//   start-waiter DEADLINE_MS OUT    starts "wait-parent DEADLINE_MS OUT" and
//                                   ends 300 ms later
//   wait-parent DEADLINE_MS OUT     writes "ended" or "timed out" to OUT after
//                                   waiting for its parent
#include <windows.h>

#include <cstdlib>
#include <string>

#include "package_apply.h"

namespace {

constexpr UINT kKilledExitCode = 3;

int Apply(const std::wstring& package, const std::wstring& target, const std::wstring& stop_point) {
  velko::updater::ApplyOptions options;
  options.points = [&stop_point](const char* point) {
    if (stop_point == std::wstring(point, point + std::char_traits<char>::length(point))) {
      ::TerminateProcess(::GetCurrentProcess(), kKilledExitCode);
    }
  };
  const auto outcome = velko::updater::ApplyPackage(package, target, options);
  return outcome.status == velko::updater::ApplyStatus::kApplied ? 0 : 1;
}

int StartWaiter(const std::wstring& deadline, const std::wstring& out) {
  wchar_t own_path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, own_path, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(own_path) + L"\" wait-parent " + deadline + L" \"" + out + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(own_path, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return 1;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  ::Sleep(300);
  return 0;
}

int WaitParent(const std::wstring& deadline, const std::wstring& out) {
  const bool ended = velko::updater::WaitForParentToEnd(static_cast<DWORD>(std::wcstoul(deadline.c_str(), nullptr, 10)));
  const std::string text = ended ? "ended" : "timed out";
  HANDLE file = ::CreateFileW(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(file);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"apply" && argc == 5) return Apply(argv[2], argv[3], argv[4]);
  if (mode == L"start-waiter" && argc == 4) return StartWaiter(argv[2], argv[3]);
  if (mode == L"wait-parent" && argc == 4) return WaitParent(argv[2], argv[3]);
  return 2;
}
