#include "uilib/shell_open.h"

#include <utility>

namespace uilib {
namespace {

std::function<void(const std::string&)>& TestOpener() {
  static std::function<void(const std::string&)> opener;
  return opener;
}

}  // namespace

void OpenWithShell(const std::string& target) {
  if (TestOpener()) {
    TestOpener()(target);
    return;
  }
  OpenWithShellPlatform(target);
}

void SetShellOpenerForTesting(std::function<void(const std::string&)> opener) { TestOpener() = std::move(opener); }

}  // namespace uilib
