#include "render_command.h"

#include <memory>

#include "stdout_redirect.h"
#include "uilib/uilib_impl.h"
#include "uilib/win/layered_surface.h"
#include "uilib/win/skinned_window.h"

namespace uilibtool {
namespace {

using uilib::win::LayeredSurface;

// A decorated window's picture: the decoration with the window drawn over it
// at the decoration's offset, as the two windows appear on the screen.
bool SaveDecoratedPicture(const uilib::win::CShadowWindow& decoration, const LayeredSurface& window,
                          const std::wstring& png) {
  const LayeredSurface& behind = decoration.Picture();
  LayeredSurface both(behind.Width(), behind.Height());
  if (!both.Ok()) return false;
  both.DrawSurface(behind, 0, 0);
  both.DrawSurface(window, decoration.OffsetX(), decoration.OffsetY());
  return both.SavePng(png);
}

bool SaveWindowPicture(uilib::win::SkinnedWindow& window, const std::wstring& png) {
  std::unique_ptr<LayeredSurface> painted;
  const LayeredSurface* surface = window.Surface();
  if (surface == nullptr) {
    RECT client{};
    GetClientRect(window.hwnd(), &client);
    painted = std::make_unique<LayeredSurface>(client.right, client.bottom);
    if (!painted->Ok()) return false;
    painted->Paint(&window, client);
    surface = painted.get();
  }
  if (const uilib::win::CShadowWindow* decoration = window.Decoration()) {
    return SaveDecoratedPicture(*decoration, *surface, png);
  }
  return surface->SavePng(png);
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
