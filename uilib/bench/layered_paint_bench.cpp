// Layered painting of the installer's Welcome window under Wine: the cost of
// repainting only an update rectangle into the memory surface against
// repainting the whole window (the baseline, measured in the same run), and
// of pushing the whole surface with UpdateLayeredWindow. Prints figures and
// ratios; run by hand:
//   VELKO_BUILD_DIR=build/windows64 scripts/wine-run.sh build/windows64/bench/layered_paint_bench.exe
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "uilib/uilib_impl.h"
#include "uilib/uilib_startup.h"
#include "uilib/win/layered_surface.h"

namespace {

constexpr int kRounds = 200;

double MillisecondsPerRound(const std::function<void()>& round) {
  round();  // warm-up: images decoded, caches filled
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRounds; ++i) round();
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / kRounds;
}

}  // namespace

int wmain() {
  if (!UILibStartup(GetModuleHandleW(nullptr))) return 1;
  CUILibImpl lib;
  if (lib.LoadSkinFile(VELKO_INSTALLER_SKIN_XML) != uilib::SkinLoadResult::kOk) return 1;
  IUILibWindow* created = lib.CreateWindowById("Welcome", nullptr, nullptr, nullptr);
  auto* window = dynamic_cast<CUILibWindow*>(created);
  if (window == nullptr) return 1;
  HWND hwnd = window->NativeHandle();
  uilib::win::LayeredSurface surface(608, 322);
  if (!surface.Ok()) return 1;

  const RECT whole{0, 0, 608, 322};
  const RECT button{232, 237, 362, 269};  // the install button
  const double full = MillisecondsPerRound([&] { surface.Paint(window, whole); });
  const double partial = MillisecondsPerRound([&] { surface.Paint(window, button); });
  RECT on_screen{};
  GetWindowRect(hwnd, &on_screen);
  const double push = MillisecondsPerRound(
      [&] { surface.Push(hwnd, POINT{on_screen.left, on_screen.top}, SIZE{608, 322}, 255); });

  std::printf("layered_paint_bench: Welcome window 608x322, %d rounds each\n", kRounds);
  std::printf("  whole-window paint (baseline)   %8.3f ms\n", full);
  std::printf("  install-button paint 130x32     %8.3f ms   ratio %.3f\n", partial, partial / full);
  std::printf("  UpdateLayeredWindow push        %8.3f ms   ratio %.3f\n", push, push / full);
  return 0;
}
