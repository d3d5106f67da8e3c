// What the tool's commands share: their exit codes and result, and the path
// each one takes to a window of a skin (the library started, the skin loaded,
// the window built or created, the library's failures reported).
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class CUILibImpl;
class CUILibWindow;

namespace uilibtool {

enum ExitCode : int {
  kExitOk = 0,
  kExitUsage = 1,
  kExitSkinNotFound = 2,
  kExitBadSkin = 3,
  kExitNoSuchWindow = 4,
  kExitLibraryFailure = 5,
};

struct CommandResult {
  ExitCode code = kExitOk;
  std::string output;  // what goes to standard output on success
  std::string error;   // the message for standard error otherwise
};

CommandResult Failure(ExitCode code, std::string message);

// The file's name as UTF-8, for messages.
std::string PathName(const std::filesystem::path& path);

// How much of the library a command starts: GDI+ alone is enough to build and
// lay out element trees; native windows need the whole library start-up.
enum class LibraryStart { kGraphicsOnly, kWindows };

// One window of a loaded skin, as a command reaches it.
class SkinWindowCommand {
 public:
  SkinWindowCommand(CUILibImpl& lib, const std::filesystem::path& skin, const std::string& window_id)
      : lib_(lib), skin_(skin), window_id_(window_id) {}

  CUILibImpl& lib() const { return lib_; }

  // The window's element tree without a native window; null with `*failure`
  // set when the skin has no such window. The library's diagnostic lines go
  // to standard error.
  std::unique_ptr<CUILibWindow> BuildTree(CommandResult* failure) const;

  // The window created as the programs create it, with its native window; the
  // library object owns it. Null with `*failure` set when the skin has no such
  // window or it could not be created. Standard output is left as it is: the
  // window's "oncreate" handler may print there.
  CUILibWindow* CreateNativeWindow(CommandResult* failure) const;

 private:
  CommandResult NoSuchWindow() const;

  CUILibImpl& lib_;
  const std::filesystem::path& skin_;
  const std::string& window_id_;
};

// Starts the library as `start` says, loads the skin and runs `command` on
// the window. A skin that cannot be read or is no skin document, a failed
// start and a library failure while the command runs become the matching
// failure result.
CommandResult RunOnSkinWindow(const std::filesystem::path& skin, const std::string& window_id,
                              LibraryStart start,
                              const std::function<CommandResult(const SkinWindowCommand&)>& command);

}  // namespace uilibtool
