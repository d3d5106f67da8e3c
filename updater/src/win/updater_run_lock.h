#pragma once
// One updater at a time: task mode, and the copy that applies what it
// downloaded, hold named mutexes so that two task starts (two logons, two
// sessions, a start by hand) never download or apply concurrently.

#include <windows.h>

#include <optional>
#include <vector>

namespace velko::updater {

// Session-wide and machine-wide names; both are taken.
inline constexpr wchar_t kRunLockSessionName[] = L"Local\\Velko_Browser_Updater_Run";
inline constexpr wchar_t kRunLockGlobalName[] = L"Global\\Velko_Browser_Updater_Run";

class UpdaterRunLock {
 public:
  // Waits up to `wait_ms` for both mutexes; nullopt when another updater
  // holds one of them then. A mutex whose holder died unreleased counts as
  // free. Where the machine-wide one cannot be created at all (no right to
  // the global namespace), the session-wide one alone is held.
  static std::optional<UpdaterRunLock> Acquire(DWORD wait_ms);

  ~UpdaterRunLock();
  UpdaterRunLock(UpdaterRunLock&& other) noexcept;
  UpdaterRunLock& operator=(UpdaterRunLock&&) = delete;
  UpdaterRunLock(const UpdaterRunLock&) = delete;

 private:
  UpdaterRunLock() = default;
  std::vector<HANDLE> held_;
};

}  // namespace velko::updater
