// Opening an element's `href` with the shell: verb "OPEN", no parameters, no
// directory, shown normally, under the wait cursor. A target the shell cannot
// open is ignored.
#pragma once

#include <functional>
#include <string>

namespace uilib {

// `target` is UTF-8 skin text.
void OpenWithShell(const std::string& target);

// Test seam: while set, OpenWithShell calls `opener` instead of the shell.
void SetShellOpenerForTesting(std::function<void(const std::string&)> opener);

// The platform part: the shell on Windows, nothing elsewhere.
void OpenWithShellPlatform(const std::string& target);

}  // namespace uilib
