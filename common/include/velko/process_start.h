// Starting a program in its own console without waiting for it.
#pragma once

#include <string>

namespace velko {

// Starts `program` with `command_line` (which names the program itself, quoted, as
// its first item), handles inherited and a new console, as both programs start the
// updater. The process and thread handles are closed at once: nobody waits for it.
// False when the process could not be created.
bool StartDetachedWithNewConsole(const std::wstring& program, std::wstring command_line);

}  // namespace velko
