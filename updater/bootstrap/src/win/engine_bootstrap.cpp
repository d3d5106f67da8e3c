#include "engine_bootstrap.h"

#include <cstdlib>
#include <cwchar>

#include "engine_attempt.h"
#include "engine_bootstrap_settings.h"

namespace velko::bootstrap {

struct EngineBootstrap::SharedState {
  HWND window = nullptr;
  EngineBootstrapOptions options;
  std::unique_ptr<EngineStorage> storage;
};

namespace {

DWORD WINAPI BootstrapThreadMain(void* parameter) {
  std::unique_ptr<std::shared_ptr<EngineBootstrap::SharedState>> state(
      static_cast<std::shared_ptr<EngineBootstrap::SharedState>*>(parameter));
  (*state)->storage = RunEngineBootstrap((*state)->window, (*state)->options);
  return 0;
}

bool IsExistingFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

EngineBootstrapOptions EngineBootstrapOptions::FromBuildSettings() {
  EngineBootstrapOptions options;
  options.config_base_url = settings::kEngineConfigUrl;
  return options;
}

std::unique_ptr<EngineBootstrap> EngineBootstrap::Create(HWND window,
                                                          EngineBootstrapOptions options) {
  std::unique_ptr<EngineBootstrap> bootstrap(new EngineBootstrap());
  bootstrap->state_ = std::make_shared<SharedState>();
  bootstrap->state_->window = window;
  bootstrap->state_->options = std::move(options);

  auto* parameter = new std::shared_ptr<SharedState>(bootstrap->state_);
  bootstrap->thread_ = ::CreateThread(nullptr, 0, &BootstrapThreadMain, parameter,
                                      CREATE_SUSPENDED, &bootstrap->thread_id_);
  const bool confirmed = bootstrap->thread_ != nullptr && bootstrap->thread_id_ != 0 &&
                         ::WaitForSingleObject(bootstrap->thread_, 0) == WAIT_TIMEOUT;
  if (confirmed && ::ResumeThread(bootstrap->thread_) != static_cast<DWORD>(-1)) {
    return bootstrap;
  }
  // The thread never ran a line of its own: ending it cannot leave anything
  // half done, and the message it would post must not come later.
  if (bootstrap->thread_ != nullptr) {
    ::TerminateThread(bootstrap->thread_, 0);
    ::WaitForSingleObject(bootstrap->thread_, INFINITE);
  }
  delete parameter;
  return nullptr;
}

EngineBootstrap::~EngineBootstrap() {
  if (thread_ != nullptr) ::CloseHandle(thread_);
}

std::unique_ptr<EngineStorage> RunEngineBootstrap(HWND window, const EngineBootstrapOptions& options) {
  std::unique_ptr<EngineStorage> storage;
  for (int failures = 0; failures < options.attempts;) {
    if (Succeeded(RunEngineAttempt(options.config_base_url, storage))) break;
    ::Sleep(options.retry_wait_ms);
    ++failures;
  }
  wchar_t* path = MakeEngineReadyPath(storage.get());
  // A null window would make this a message to the worker's own queue.
  if (window == nullptr ||
      !::PostMessageW(window, options.ready_message, reinterpret_cast<WPARAM>(path), 0)) {
    std::free(path);  // nobody will receive it
  }
  return storage;
}

wchar_t* MakeEngineReadyPath(const EngineStorage* storage) {
  if (storage == nullptr) return nullptr;
  const std::wstring path = EngineLibraryPath(*storage);
  return IsExistingFile(path) ? ::_wcsdup(path.c_str()) : nullptr;
}

std::optional<std::wstring> TakeEngineReadyPath(WPARAM wparam) {
  auto* path = reinterpret_cast<wchar_t*>(wparam);
  if (path == nullptr) return std::nullopt;
  std::wstring copy(path);
  std::free(path);  // allocated by the worker with _wcsdup
  return copy;
}

}  // namespace velko::bootstrap
