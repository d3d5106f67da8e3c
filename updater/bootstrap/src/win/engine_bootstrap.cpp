#include "engine_bootstrap.h"

#include <cstdlib>
#include <cwchar>
#include <mutex>

#include "engine_attempt.h"
#include "engine_bootstrap_settings.h"

namespace velko::bootstrap {

struct EngineBootstrap::SharedState {
  HWND window = nullptr;
  EngineBootstrapOptions options;
  std::unique_ptr<EngineStorage> storage;
  std::mutex verified_mutex;
  std::optional<VerifiedEngine> verified;  // guarded by verified_mutex
};

namespace {

DWORD WINAPI BootstrapThreadMain(void* parameter) {
  std::unique_ptr<std::shared_ptr<EngineBootstrap::SharedState>> state(
      static_cast<std::shared_ptr<EngineBootstrap::SharedState>*>(parameter));
  EngineBootstrap::SharedState& shared = **state;
  shared.storage = RunEngineBootstrap(shared.window, shared.options, [&shared](VerifiedEngine held) {
    const std::lock_guard<std::mutex> lock(shared.verified_mutex);
    shared.verified = std::move(held);
  });
  return 0;
}

}  // namespace

EngineBootstrapOptions EngineBootstrapOptions::FromBuildSettings() {
  EngineBootstrapOptions options;
  options.config_base_url = settings::kEngineConfigUrl;
  options.limits.connect_timeout_s = settings::kHttpConnectTimeoutS;
  options.limits.low_speed_time_s = settings::kHttpStallTimeoutS;
  options.limits.total_timeout_s = settings::kHttpTotalTimeoutS;
  options.require_hashes = settings::kRequireHashes;
  return options;
}

EngineAttemptOptions AttemptOptionsOf(const EngineBootstrapOptions& options) {
  EngineAttemptOptions attempt;
  attempt.config_base_url = options.config_base_url;
  attempt.limits = options.limits;
  attempt.zip_limits = options.zip_limits;
  attempt.require_hashes = options.require_hashes;
  return attempt;
}

std::optional<VerifiedEngine> EngineBootstrap::TakeVerifiedEngine() {
  const std::lock_guard<std::mutex> lock(state_->verified_mutex);
  std::optional<VerifiedEngine> taken = std::move(state_->verified);
  state_->verified.reset();
  return taken;
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

std::unique_ptr<EngineStorage> RunEngineBootstrap(HWND window, const EngineBootstrapOptions& options,
                                                  const std::function<void(VerifiedEngine)>& keep) {
  const EngineAttemptOptions attempt_options = AttemptOptionsOf(options);
  std::unique_ptr<EngineStorage> storage;
  std::optional<VerifiedEngine> verified;
  for (int failures = 0; failures < options.attempts;) {
    if (Succeeded(RunEngineAttempt(attempt_options, storage, verified))) break;
    verified.reset();
    ::Sleep(options.retry_wait_ms);
    ++failures;
  }
  wchar_t* path = MakeEngineReadyPath(verified ? &*verified : nullptr);
  if (path != nullptr && keep) keep(std::move(*verified));
  // A null window would make this a message to the worker's own queue.
  if (window == nullptr ||
      !::PostMessageW(window, options.ready_message, reinterpret_cast<WPARAM>(path), 0)) {
    std::free(path);  // nobody will receive it
  }
  return storage;
}

wchar_t* MakeEngineReadyPath(const VerifiedEngine* verified) {
  if (verified == nullptr || !verified->has_library()) return nullptr;
  return ::_wcsdup(verified->library_path.c_str());
}

std::optional<std::wstring> TakeEngineReadyPath(WPARAM wparam) {
  auto* path = reinterpret_cast<wchar_t*>(wparam);
  if (path == nullptr) return std::nullopt;
  std::wstring copy(path);
  std::free(path);  // allocated by the worker with _wcsdup
  return copy;
}

}  // namespace velko::bootstrap
