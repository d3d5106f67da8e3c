#include "render_command.h"

#include "stdout_redirect.h"
#include "uilib/uilib_impl.h"
#include "uilib/win/layered_surface.h"
#include "uilib/win/skinned_window.h"

namespace uilibtool {
namespace {

bool SaveWindowPicture(uilib::win::SkinnedWindow& window, const std::wstring& png) {
  if (const uilib::win::LayeredSurface* surface = window.Surface()) return surface->SavePng(png);
  RECT client{};
  GetClientRect(window.hwnd(), &client);
  uilib::win::LayeredSurface surface(client.right, client.bottom);
  if (!surface.Ok()) return false;
  surface.Paint(&window, client);
  return surface.SavePng(png);
}

}  // namespace

CommandResult RunRender(const std::filesystem::path& skin, const std::string& window_id,
                        const std::filesystem::path& png) {
  return RunOnSkinWindow(skin, window_id, LibraryStart::kWindows, [&](const SkinWindowCommand& command) {
    // The command prints nothing; the library's diagnostic lines go to standard error.
    StdoutToStderr diagnostics;
    CommandResult failure;
    CUILibWindow* created = command.CreateNativeWindow(&failure);
    if (created == nullptr) return failure;
    // The library object deletes the window (and its native window) when it goes.
    auto* window = dynamic_cast<uilib::win::SkinnedWindow*>(created);
    if (window == nullptr) return Failure(kExitLibraryFailure, "the window '" + window_id + "' is not a skinned window");
    if (!SaveWindowPicture(*window, png.wstring())) {
      return Failure(kExitLibraryFailure, "cannot write '" + PathName(png) + "'");
    }
    return CommandResult{};
  });
}

}  // namespace uilibtool
