#include "tree_command.h"

#include "layout_command.h"

#include "tree_json.h"
#include "uilib/uilib_impl.h"

namespace uilibtool {

CommandResult RunTree(const std::filesystem::path& skin, const std::string& window_id) {
  return RunOnSkinWindow(skin, window_id, LibraryStart::kGraphicsOnly, [](const SkinWindowCommand& command) {
    CommandResult failure;
    std::unique_ptr<CUILibWindow> window = command.BuildTree(&failure);
    if (!window) return failure;
    // Laid out at the window's size, so that states that follow the layout
    // (a scroll bar's range, rectangle and thumb) are the window's own.
    LayOutWindow(*window, std::nullopt);
    nlohmann::ordered_json tree = ElementTreeToJson(*window);
    return CommandResult{kExitOk, JsonText(tree), {}};
  });
}

}  // namespace uilibtool
