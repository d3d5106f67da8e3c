#pragma once
// The update check at the start of task mode.

#include <optional>

#include "update_browser_thread.h"

namespace velko::updater {

// Finds the installed browser and asks the update service. Returns the exit
// code when the run ends here (no browser: the task is removed and -1; no
// update: 0; the service never answered: kExitUpdateServiceUnavailable), or
// nothing after storing the found update in `controller`.
std::optional<int> RunTaskUpdateCheck(CUpdateBrowserThread& controller);

}  // namespace velko::updater
