#pragma once
// The logon task that starts the updater in task mode (Task Scheduler 1.0).

#include <windows.h>

namespace velko::updater {

inline constexpr wchar_t kUpdateTaskName[] = L"Velko_Browser_Updater";

// (Re)creates the task for the executable of `instance`, run as the current
// user at every logon with "-Task". Returns 0 when the task was handed to
// the scheduler, -1 when the scheduler or the user's account could not be
// reached (an existing task is then left as it was).
int RegisterUpdateTask(HINSTANCE instance);

// Deletes the task if the scheduler is reachable.
void RemoveUpdateTask();

}  // namespace velko::updater
