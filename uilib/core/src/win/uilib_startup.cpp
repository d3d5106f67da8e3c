#include "uilib/uilib_startup.h"

#include "uilib/win/uilib_runtime.h"  // winsock2.h and curl before windows.h

#include <objbase.h>

#include "uilib/cache_naming.h"
#include "uilib/library_state.h"
#include "uilib/ui_thread.h"
#include "uilib/win/resource_image.h"
#include "uilib/win/uilib_runtime.h"
#include "velko/path_text.h"

namespace uilib::win {
namespace {

Runtime* g_runtime = nullptr;

// "X:\..." or a UNC path "\\server\...".
bool IsAbsoluteFolder(const std::wstring& path) {
  if (path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) return true;
  return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\';
}

void CALLBACK OnNetworkPump(HWND, UINT, UINT_PTR, DWORD) {
  if (g_runtime != nullptr && g_runtime->downloads) g_runtime->downloads->Pump();
}

// The pump runs at its 1 ms pace only while transfers run; idle, it looks
// once a second for requests whose posted wake-up was lost. Every wake-up of
// the UI thread costs the whole process under Wine (the server, the X
// connection), and the installer's never downloads: at the fast pace, with
// the scroll step's, it slowed the unpacking on the other thread by a tenth.
void PacePump(bool transfers_running) {
  Runtime* runtime = g_runtime;
  const UINT pace = transfers_running ? kNetworkPumpMs : kIdlePumpMs;
  if (runtime == nullptr || runtime->pump_pace_ms == pace) return;
  if (runtime->pump_timer != 0) KillTimer(nullptr, runtime->pump_timer);
  runtime->pump_timer = SetTimer(nullptr, 0, pace, &OnNetworkPump);
  runtime->pump_pace_ms = runtime->pump_timer != 0 ? pace : 0;
}

// The scroll step timer runs while a drag queues positions, and stops after
// a tick that found none.
void CALLBACK OnScrollStep(HWND, UINT, UINT_PTR, DWORD) {
  auto step = State().scroll_step;
  if ((step != nullptr && step()) || g_runtime == nullptr) return;
  KillTimer(nullptr, g_runtime->scroll_timer);
  g_runtime->scroll_timer = 0;
}

void StartScrollStep() {
  if (g_runtime != nullptr && g_runtime->scroll_timer == 0) {
    g_runtime->scroll_timer = SetTimer(nullptr, 0, kScrollStepMs, &OnScrollStep);
  }
}

void CALLBACK OnDeletionTick(HWND, UINT, UINT_PTR, DWORD) { State().deletion.Tick(); }

bool StartTimers(Runtime& runtime) {
  PacePump(false);
  State().scroll_step_wanted = &StartScrollStep;
  runtime.deletion_timer = SetTimer(nullptr, 0, kDeletionMs, &OnDeletionTick);
  return runtime.pump_timer != 0 && runtime.deletion_timer != 0;
}

// libcurl starts with the first transfer: its start loads the network and
// security libraries (tens of milliseconds under Wine), which the installer,
// whose skin never downloads, would otherwise wait for before its first window.
CURLM* OpenTransferHandle() {
  if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
  return curl_multi_init();
}

bool StartTransfers(Runtime& runtime) {
  runtime.downloads =
      std::make_unique<CurlDownloadService>(&OpenTransferHandle, runtime.message_window.hwnd(), DownloadCacheFolder());
  runtime.downloads->SetPumpPacer(&PacePump);
  SetActiveDownloadService(runtime.downloads.get());
  return true;
}

bool StartPlatform(Runtime& runtime) {
  LibraryState& state = State();  // the tree and deletion mutexes
  CoInitialize(nullptr);          // S_FALSE when the client initialised COM already
  // The common controls start with the first control or tooltip that needs
  // them (StartCommonControls), not here: see common_controls.h.
  runtime.gdiplus = std::make_unique<GdiplusSession>();
  bool ok = runtime.gdiplus->Ok();
  (void)state.render_queue.Size();  // the render-queue mutex
  runtime.render_thread = std::make_unique<RenderThread>(state.render_queue, state.tree_mutex);
  return runtime.render_thread->Start() && ok;
}

}  // namespace

Runtime* ActiveRuntime() { return g_runtime; }

std::wstring CacheFolderUnder(std::wstring_view temp_folder) {
  const std::wstring folder(temp_folder);
  // Never a folder relative to whatever the current directory is.
  if (!IsAbsoluteFolder(folder)) return {};
  return velko::JoinPath<wchar_t>(folder, std::wstring(kCacheFolderName.begin(), kCacheFolderName.end()));
}

std::wstring DownloadCacheFolder() {
  wchar_t temp[1001] = {};
  const DWORD length = GetTempPathW(1000, temp);
  return CacheFolderUnder(std::wstring_view(temp, length <= 1000 ? length : 0));
}

}  // namespace uilib::win

int UILibStartup(uilib::NativeModule module, std::uintptr_t, std::uintptr_t, std::uintptr_t) {
  using namespace uilib::win;
  if (g_runtime != nullptr) return g_runtime->ok ? 1 : 0;
  // Lives until the process ends: the library has no shutdown.
  g_runtime = new Runtime();
  Runtime& runtime = *g_runtime;
  runtime.module = module;
  runtime.ui_thread_id = GetCurrentThreadId();
  uilib::MarkUiThread();
  uilib::State().module = module;
  SetSelfModule(module);
  bool ok = runtime.message_window.Create(module != nullptr ? module : GetModuleHandleW(nullptr)) != nullptr;
  ok = StartTimers(runtime) && ok;
  ok = StartTransfers(runtime) && ok;
  ok = StartPlatform(runtime) && ok;
  runtime.ok = ok;
  return ok ? 1 : 0;
}
