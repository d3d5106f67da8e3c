// Baseline of the whole install: the operations the installer must perform
// from the click on, each done the plainest way, with no code of ours. Its
// main thread keeps a layered window of the installer's size; a second
// thread writes the package resource this program carries to a temporary
// archive (one write), counts the entries from their headers and extracts
// them with the same UnRAR loop as bench_baseline_extract.exe, posting the
// progress after each file, one message outstanding at a time, as the
// installer does; the window draws the percentage and a bar with GDI+ and
// pushes a frame, at most one each 50 ms as the installer. Then the main
// thread saves a shell link to the browser, starts the browser and the
// updater (CreateProcessW, the updater with a new console), closes the window
// and deletes the temporary archive.
//   bench_bare_install.exe DEST_FOLDER TEMP_FOLDER LINK_PATH
// It prints the same report lines as the baseline, with its phases in ms
// since process creation.
#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>

#include "bare_layered_window_win.h"
#include "bench_report_win.h"
#include "unrar_extract_all.h"

namespace {

namespace bench = velko::installer::bench;

constexpr UINT kProgressMessage = WM_APP + 1;
constexpr UINT kExtractedMessage = WM_APP + 2;
// Frames at most this often, the installer's pace: a push costs the
// extraction milliseconds.
constexpr ULONGLONG kFrameMs = 50;
constexpr UINT_PTR kFrameTimer = 1;

// shell32 is loaded at start, as the installer imports it: its loading is
// not the shell link's cost.
void* volatile g_shell_import = reinterpret_cast<void*>(&SHGetFolderPathW);

struct Install {
  std::wstring dest_folder, temp_archive, link_path;
  HWND window = nullptr;
  std::atomic<double> fraction{0.0};
  std::atomic<bool> progress_posted{false};
  unsigned long long files = 0;
  double written_ms = 0, counted_ms = 0, extracted_ms = 0, counted_cpu_ms = 0, extracted_cpu_ms = 0;
  bool ok = false;
};

bool WriteTemporaryArchive(const std::wstring& path) {
  HRSRC found = FindResourceW(nullptr, L"PACKAGE", L"PDATA");
  HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return false;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const DWORD size = SizeofResource(nullptr, found);
  const bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size;
  CloseHandle(file);
  return ok;
}

unsigned long long TotalUnpackedBytes(wchar_t* archive_path) {
  HANDLE archive = bench::OpenArchive(archive_path, RAR_OM_LIST);
  if (archive == nullptr) return 0;
  RARHeaderDataEx header{};
  unsigned long long total = 0;
  while (RARReadHeaderEx(archive, &header) == ERAR_SUCCESS) {
    total += bench::UnpackedSize(header);
    RARProcessFileW(archive, RAR_SKIP, nullptr, nullptr);
  }
  RARCloseArchive(archive);
  return total;
}

DWORD WINAPI InstallThread(void* parameter) {
  auto& job = *static_cast<Install*>(parameter);
  std::wstring archive_path = job.temp_archive;
  std::wstring dest = job.dest_folder;
  if (WriteTemporaryArchive(archive_path)) {
    job.written_ms = bench::MillisecondsSinceProcessStart();
    const unsigned long long total = TotalUnpackedBytes(archive_path.data());
    HANDLE archive = bench::OpenArchive(archive_path.data(), RAR_OM_EXTRACT);
    if (archive != nullptr) {
      job.counted_ms = bench::MillisecondsSinceProcessStart();
      job.counted_cpu_ms = bench::CpuMilliseconds();
      unsigned long long done = 0;
      job.files = bench::ExtractEveryEntry(archive, dest.data(), [&](unsigned long long size) {
        done += size;
        job.fraction.store(total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total));
        if (!job.progress_posted.exchange(true)) PostMessageW(job.window, kProgressMessage, 0, 0);
      });
      job.extracted_ms = bench::MillisecondsSinceProcessStart();
      job.extracted_cpu_ms = bench::CpuMilliseconds();
      RARCloseArchive(archive);
      job.ok = true;
    }
  }
  PostMessageW(job.window, kExtractedMessage, 0, 0);
  return 0;
}

bool SaveShellLink(const std::wstring& target, const std::wstring& link_path) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  link->SetPath(target.c_str());
  IPersistFile* file = nullptr;
  bool saved = false;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    saved = SUCCEEDED(file->Save(link_path.c_str(), FALSE));
    file->Release();
  }
  link->Release();
  return saved;
}

bool Start(const std::wstring& program, DWORD flags) {
  std::wstring command_line = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                      &startup, &started)) {
    return false;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

bench::BareLayeredWindow* g_window = nullptr;
Install* g_job = nullptr;
int g_frames = 0;
ULONGLONG g_pushed_at = 0;
double g_linked_ms = 0, g_started_ms = 0;

void DrawProgress(Gdiplus::Graphics& graphics, double fraction) {
  bench::DrawBareBackground(graphics);
  wchar_t text[32];
  std::swprintf(text, 32, L"\x6B63\x5728\x5B89\x88C5(%d %%)", static_cast<int>(fraction * 100.0));
  Gdiplus::FontFamily family(L"Tahoma");
  Gdiplus::Font font(&family, 14.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  Gdiplus::SolidBrush ink(Gdiplus::Color(254, 40, 40, 40));
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  graphics.DrawString(text, -1, &font, Gdiplus::PointF(40.0f, 245.0f), &ink);
  Gdiplus::SolidBrush bar(Gdiplus::Color(255, 60, 140, 230));
  graphics.FillRectangle(&bar, 40, 281, static_cast<int>(520 * fraction), 3);
}

void PushProgress() {
  const double fraction = g_job->fraction.load();
  g_window->Push([fraction](Gdiplus::Graphics& graphics) { DrawProgress(graphics, fraction); });
  g_pushed_at = GetTickCount64();
  ++g_frames;
}

// After the extraction: the shortcut and the two starts, as the installer's
// finishing steps, then the window closes.
void Finish(HWND window) {
  KillTimer(window, kFrameTimer);
  PushProgress();  // 100 %, as the installer shows before its last steps
  if (g_job->ok) {
    const std::wstring browser = g_job->dest_folder + L"\\chrome.exe";
    SaveShellLink(browser, g_job->link_path);
    g_linked_ms = bench::MillisecondsSinceProcessStart();
    Start(browser, 0);
    Start(g_job->dest_folder + L"\\updater.exe", CREATE_NEW_CONSOLE);
    g_started_ms = bench::MillisecondsSinceProcessStart();
  }
  DestroyWindow(window);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kProgressMessage && g_job != nullptr) {
    g_job->progress_posted.store(false);
    const ULONGLONG since = GetTickCount64() - g_pushed_at;
    if (since < kFrameMs) {
      SetTimer(window, kFrameTimer, static_cast<UINT>(kFrameMs - since), nullptr);
    } else {
      PushProgress();
    }
    return 0;
  }
  if (message == WM_TIMER && wparam == kFrameTimer && g_job != nullptr) {
    KillTimer(window, kFrameTimer);
    PushProgress();
    return 0;
  }
  if (message == kExtractedMessage && g_job != nullptr) {
    Finish(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const double entry_ms = bench::MillisecondsSinceProcessStart();
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_bare_install DEST_FOLDER TEMP_FOLDER LINK_PATH\n");
    return 2;
  }
  CoInitialize(nullptr);
  Gdiplus::GdiplusStartupInput startup_input;
  ULONG_PTR gdiplus_token = 0;
  if (Gdiplus::GdiplusStartup(&gdiplus_token, &startup_input, nullptr) != Gdiplus::Ok) return 1;
  Install job;
  job.dest_folder = argv[1];
  job.temp_archive = std::wstring(argv[2]) + L"\\package.rar";
  job.link_path = argv[3];
  double click_ms = 0;
  {
    bench::BareLayeredWindow window;
    if (!window.Create(GetModuleHandleW(nullptr), WindowProc, L"VelkoBareInstall")) return 1;
    g_window = &window;
    g_job = &job;
    window.Push([](Gdiplus::Graphics& graphics) { DrawProgress(graphics, 0.0); });
    g_pushed_at = GetTickCount64();
    // The click: the install begins as soon as the first picture is pushed.
    click_ms = bench::MillisecondsSinceProcessStart();
    CreateDirectoryW(argv[1], nullptr);
    job.window = window.window();
    HANDLE thread = CreateThread(nullptr, 0, &InstallThread, &job, 0, nullptr);
    if (thread == nullptr) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    g_window = nullptr;
    g_job = nullptr;
  }
  DeleteFileW(job.temp_archive.c_str());
  const double ended_ms = bench::MillisecondsSinceProcessStart();
  Gdiplus::GdiplusShutdown(gdiplus_token);
  if (!job.ok) return 1;
  bench::PrintReport("bare-install", job.files, entry_ms);
  std::printf("click_ms=%.1f written_ms=%.1f opened_ms=%.1f extracted_ms=%.1f linked_ms=%.1f started_ms=%.1f "
              "ended_ms=%.1f extraction_cpu_ms=%.1f frames=%d\n",
              click_ms, job.written_ms, job.counted_ms, job.extracted_ms, g_linked_ms, g_started_ms, ended_ms,
              job.extracted_cpu_ms - job.counted_cpu_ms, g_frames);
  return 0;
}
