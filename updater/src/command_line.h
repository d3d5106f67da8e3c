#pragma once
// The updater's command line: which mode to run and the package path that
// follows "-Extra".

#include <string>
#include <vector>

namespace velko::updater {

enum class UpdaterMode {
  kRegister,  // no switch: (re)create the logon task
  kTask,      // "-Task": check for an update and fetch it
  kExtract,   // "-Extra <package>": unpack a downloaded package
};

struct UpdaterCommandLine {
  UpdaterMode mode = UpdaterMode::kRegister;
  std::wstring extra;  // the argument after the last "-Extra"; empty if none
};

// `arguments` as CommandLineToArgvW splits them, the program name first.
// Switches are case-sensitive and the last one wins; the argument after
// "-Extra" is consumed and never taken for a switch.
UpdaterCommandLine ParseUpdaterCommandLine(const std::vector<std::wstring>& arguments);

}  // namespace velko::updater
