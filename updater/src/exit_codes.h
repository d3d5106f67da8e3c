#pragma once

namespace velko::updater {

constexpr int kExitSuccess = 0;
// Register mode could not register the task; task mode found no installed
// browser or could not create its controller window.
constexpr int kExitFailure = -1;
// Task mode: all ten attempts to ask the update service failed. The task is
// kept so that the next logon asks again.
constexpr int kExitUpdateServiceUnavailable = 1;
// Task mode: another updater is checking, downloading or applying; this one
// did nothing.
constexpr int kExitAnotherUpdaterRunning = 2;

}  // namespace velko::updater
