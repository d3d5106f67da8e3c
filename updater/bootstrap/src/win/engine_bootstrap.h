// The worker of task mode that obtains a verified copy of the download engine
// and then tells the controller window where xldl.dll is, by exactly one
// posted message.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine_attempt.h"
#include "engine_storage.h"

namespace velko::bootstrap {

struct EngineBootstrapOptions {
  // Scheme, host and port of the engine configuration; the build setting.
  std::string config_base_url;
  // The updater's transfer limits (connect, stall, overall deadline).
  HttpTransferLimits limits;
  ZipLimits zip_limits;
  bool require_hashes = false;
  // wParam: _wcsdup copy of the full path of xldl.dll (the receiver frees
  // it), or null when there is no engine. lParam: 0.
  UINT ready_message = 0x1400;  // WM_ENGINE_READY
  int attempts = 3;
  DWORD retry_wait_ms = 500;    // after each failed attempt

  static EngineBootstrapOptions FromBuildSettings();
};

class EngineBootstrap {
 public:
  // Starts the worker thread, created suspended and resumed only once it is
  // known to exist. Null when the thread cannot be started.
  static std::unique_ptr<EngineBootstrap> Create(
      HWND window, EngineBootstrapOptions options = EngineBootstrapOptions::FromBuildSettings());

  // Closes the thread handle; the thread is neither waited for nor stopped.
  // Everything it touches is shared with it, so it may even outlive this
  // object safely.
  ~EngineBootstrap();

  EngineBootstrap(const EngineBootstrap&) = delete;
  EngineBootstrap& operator=(const EngineBootstrap&) = delete;

  DWORD thread_id() const { return thread_id_; }
  HANDLE thread() const { return thread_; }

  // The engine files the worker checked, still held open, when its
  // notification named xldl.dll; taken once. The receiver of the
  // notification loads the library while holding them, so that the bytes
  // loaded are the bytes checked.
  std::optional<VerifiedEngine> TakeVerifiedEngine();

  struct SharedState;

 private:
  EngineBootstrap() = default;

  DWORD thread_id_ = 0;
  HANDLE thread_ = nullptr;
  std::shared_ptr<SharedState> state_;
};

// The attempt options of `options`.
EngineAttemptOptions AttemptOptionsOf(const EngineBootstrapOptions& options);

// The thread's work, callable on any thread: up to `options.attempts`
// attempts with the wait after each failure, then the one notification to
// `window`. It names xldl.dll only when the last attempt succeeded: a file
// that failed its check is never offered for loading, whatever lies in the
// folder from earlier runs. `keep` receives the held files before the
// notification is posted. Returns the storage of the last attempt (null when
// none was read).
std::unique_ptr<EngineStorage> RunEngineBootstrap(
    HWND window, const EngineBootstrapOptions& options,
    const std::function<void(VerifiedEngine)>& keep = {});

// The receiving side of the notification: the path carried by `wparam`, which
// is freed here; nullopt for a null wParam (no engine).
std::optional<std::wstring> TakeEngineReadyPath(WPARAM wparam);

// The notification's wParam: a _wcsdup copy of the path of the checked
// xldl.dll, else null.
wchar_t* MakeEngineReadyPath(const VerifiedEngine* verified);

}  // namespace velko::bootstrap
