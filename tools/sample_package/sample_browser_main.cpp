// The browser of the sample package, installed as chrome.exe. It stands in for
// the real browser in tests and demonstrations: each start appends a record
// (process id, command line, elevation as far as the system reports it) to
// "<own path>.starts.txt" beside itself, then keeps running until it is asked
// to exit, so that tests can see it start and can make it "run" from the
// install folder.
//
// Asked to exit by: setting the named event "Local\VelkoSampleBrowserExit"
// (all running copies end), or WM_CLOSE to its hidden window of class
// "VelkoSampleBrowser". It also ends by itself after kLifetimeMs so that a
// test that dies early does not leave it running in a shared Wine prefix.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr DWORD kLifetimeMs = 10 * 60 * 1000;
constexpr wchar_t kExitEventName[] = L"Local\\VelkoSampleBrowserExit";
constexpr wchar_t kWindowClass[] = L"VelkoSampleBrowser";

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::wstring OwnPath() {
  std::wstring path(4096, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path;
}

// "yes"/"no" from TokenElevation and the elevation type, or "unknown" when
// the system does not answer (older systems, some Wine versions).
std::string DescribeElevation() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "elevated=unknown\r\n";
  std::string text;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)) {
    text += elevation.TokenIsElevated ? "elevated=yes\r\n" : "elevated=no\r\n";
  } else {
    text += "elevated=unknown\r\n";
  }
  TOKEN_ELEVATION_TYPE type{};
  if (GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size)) {
    text += type == TokenElevationTypeFull      ? "elevation_type=full\r\n"
            : type == TokenElevationTypeLimited ? "elevation_type=limited\r\n"
                                                : "elevation_type=default\r\n";
  }
  CloseHandle(token);
  return text;
}

void AppendStartRecord(const std::wstring& own_path) {
  std::string record = "start pid=" + std::to_string(GetCurrentProcessId()) + "\r\n";
  record += "command_line=" + ToUtf8(GetCommandLineW()) + "\r\n";
  int argc = 0;
  if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc)) LocalFree(argv);
  record += "arguments=" + std::to_string(argc > 0 ? argc - 1 : 0) + "\r\n";
  record += DescribeElevation();
  record += "end\r\n";
  const std::wstring log_path = own_path + L".starts.txt";
  HANDLE file = CreateFileW(log_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  CloseHandle(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND CreateHiddenWindow(HINSTANCE instance) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = kWindowClass;
  RegisterClassW(&window_class);
  return CreateWindowExW(0, kWindowClass, L"Velko sample browser", WS_OVERLAPPEDWINDOW, 0, 0, 1, 1,
                         nullptr, nullptr, instance, nullptr);
}

// Pumps messages until WM_QUIT, the exit event or the end of the lifetime.
void RunUntilAskedToExit(HANDLE exit_event) {
  const ULONGLONG deadline = GetTickCount64() + kLifetimeMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    const DWORD wait = MsgWaitForMultipleObjects(1, &exit_event, FALSE,
                                                 static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    if (wait != WAIT_OBJECT_0 + 1) return;  // event set, time-out or failure
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return;
      DispatchMessageW(&message);
    }
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The record is written once the program can be asked to exit (event and window
  // exist), so a test that sees the record may close it at once.
  HANDLE exit_event = CreateEventW(nullptr, TRUE, FALSE, kExitEventName);
  CreateHiddenWindow(instance);
  AppendStartRecord(OwnPath());
  RunUntilAskedToExit(exit_event);
  if (exit_event != nullptr) CloseHandle(exit_event);
  return 0;
}
