#include "command_line.h"

namespace velko::updater {

UpdaterCommandLine ParseUpdaterCommandLine(const std::vector<std::wstring>& arguments) {
  UpdaterCommandLine result;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == L"-Task") {
      result.mode = UpdaterMode::kTask;
    } else if (arguments[i] == L"-Extra") {
      result.mode = UpdaterMode::kExtract;
      if (i + 1 < arguments.size()) {
        result.extra = arguments[++i];
      } else {
        result.extra.clear();
      }
    }
  }
  return result;
}

}  // namespace velko::updater
