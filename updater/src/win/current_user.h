#pragma once

#include <optional>
#include <string>

namespace velko::updater {

// "DOMAIN\user" of the token of the running process, or nothing when the
// token or the account cannot be read.
std::optional<std::wstring> CurrentUserAccountName();

}  // namespace velko::updater
