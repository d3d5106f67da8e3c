// The thread timers of the picture elements: 100 ms animation steps for
// images and for ads, and 1 ms repaints while image fades and slides run.
// They belong to the thread that builds the first element of the kind.
#include <windows.h>

#include "uilib/widgets/ad.h"
#include "uilib/widgets/image.h"

namespace uilib {
namespace {

void CALLBACK OnImageAnimationTick(HWND, UINT, UINT_PTR, DWORD) { TickPictureAnimations(ImageAnimationList()); }
void CALLBACK OnFadeTick(HWND, UINT, UINT_PTR, DWORD) { ImageFadeList().RepaintUnion(); }
void CALLBACK OnSlideTick(HWND, UINT, UINT_PTR, DWORD) { ImageSlideList().RepaintUnion(); }
void CALLBACK OnAdAnimationTick(HWND, UINT, UINT_PTR, DWORD) { TickPictureAnimations(AdAnimationList()); }

}  // namespace

void StartImageTimers() {
  static const bool started = [] {
    SetTimer(nullptr, 0, 100, &OnImageAnimationTick);
    SetTimer(nullptr, 0, 1, &OnFadeTick);
    SetTimer(nullptr, 0, 1, &OnSlideTick);
    return true;
  }();
  (void)started;
}

void StartAdTimer() {
  static const bool started = [] {
    SetTimer(nullptr, 0, 100, &OnAdAnimationTick);
    return true;
  }();
  (void)started;
}

}  // namespace uilib
