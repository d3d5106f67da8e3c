#include "updater_run_lock.h"

#include <utility>

namespace velko::updater {
namespace {

enum class Taken { kYes, kBusy, kUnavailable };

Taken TakeMutex(const wchar_t* name, DWORD wait_ms, HANDLE& handle) {
  handle = ::CreateMutexW(nullptr, FALSE, name);
  if (handle == nullptr) return Taken::kUnavailable;
  const DWORD waited = ::WaitForSingleObject(handle, wait_ms);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return Taken::kYes;
  ::CloseHandle(handle);
  handle = nullptr;
  return Taken::kBusy;
}

}  // namespace

std::optional<UpdaterRunLock> UpdaterRunLock::Acquire(DWORD wait_ms) {
  UpdaterRunLock lock;
  // Global first: it decides between sessions; the session one then also
  // guards where the global namespace is closed to this process.
  for (const wchar_t* name : {kRunLockGlobalName, kRunLockSessionName}) {
    HANDLE handle = nullptr;
    switch (TakeMutex(name, wait_ms, handle)) {
      case Taken::kYes:
        lock.held_.push_back(handle);
        break;
      case Taken::kBusy:
        return std::nullopt;  // the destructor releases what was taken
      case Taken::kUnavailable:
        if (name == kRunLockSessionName) return std::nullopt;
        break;
    }
  }
  return lock;
}

UpdaterRunLock::~UpdaterRunLock() {
  for (HANDLE handle : held_) {
    ::ReleaseMutex(handle);
    ::CloseHandle(handle);
  }
}

UpdaterRunLock::UpdaterRunLock(UpdaterRunLock&& other) noexcept
    : held_(std::exchange(other.held_, {})) {}

}  // namespace velko::updater
