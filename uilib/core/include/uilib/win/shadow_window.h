// The decoration of a skinned window whose `window` element names a `border`
// image: a separate layered window (class "UILIB_WindowShadow") showing the
// image once, with per-pixel alpha, directly behind its owner. It follows the
// owner's moves, z-order, hiding and showing, which it sees through the
// owner's messages. Its own activation (a click on it) is cancelled and
// applied again to both windows in one deferred-position batch, so the
// owner stays in front.
//
// Position changes of its own making are marked: before each one the pair
// puts a fresh value (the low 32 bits of the performance counter) into the
// thread's message extra information, and the notifications that arrive
// while that value is set are not answered.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <string_view>

#include "uilib/win/layered_surface.h"
#include "velko/window/window_base.h"

namespace uilib::win {

inline constexpr UINT kMsgApplyDecorationChange = 1535;
inline constexpr UINT_PTR kDecorationFocusTimer = 4096;
inline constexpr UINT kDecorationFocusMs = 100;
inline constexpr UINT kDecorationFocusIdleMs = 10000;

class CShadowWindow : public velko::window::WindowBase {
 public:
  // Loads the image that `border` names and shows the decoration at the
  // owner's top-left corner minus the offset. Null when the image cannot be
  // loaded or the window cannot be created: the owner then has none.
  static std::unique_ptr<CShadowWindow> Create(HWND owner, std::string_view border, int offset_x, int offset_y);

  // The owner's messages, before the owner handles them.
  void OnOwnerMessage(UINT message, WPARAM wparam, LPARAM lparam);

  // The picture it showed (kept for `uilibtool render`) and how far it
  // extends left of and above the owner.
  const LayeredSurface& Picture() const { return *picture_; }
  int OffsetX() const { return offset_x_; }
  int OffsetY() const { return offset_y_; }

  // The owner's rectangle as last reported, and the window it was last
  // inserted after.
  const RECT& OwnerRect() const { return owner_rect_; }
  HWND OwnerInsertAfter() const { return owner_insert_after_; }

 protected:
  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
  const wchar_t* WindowClassName() const override { return L"UILIB_WindowShadow"; }

 private:
  CShadowWindow(HWND owner, int offset_x, int offset_y) : owner_(owner), offset_x_(offset_x), offset_y_(offset_y) {}

  // Puts a fresh marker into the thread's message extra information for
  // the life of a change of our own making, and then the value it replaced,
  // so that later changes by others (even in the same message) are answered.
  class ScopedMark {
   public:
    explicit ScopedMark(CShadowWindow& shadow);
    ~ScopedMark();

   private:
    CShadowWindow& shadow_;
  };
  bool Marked() const;
  void OnOwnerPositionChanging(const WINDOWPOS& change);
  void OnOwnerPositionChanged(const WINDOWPOS& change);
  void ApplyPendingChange();
  void OnFocusTimer();

  HWND owner_;
  LPARAM marker_ = 0x12345678;
  LPARAM previous_extra_info_ = 0;
  int offset_x_;
  int offset_y_;
  RECT owner_rect_{};
  HWND owner_insert_after_ = nullptr;
  std::deque<WINDOWPOS> pending_;
  std::unique_ptr<LayeredSurface> picture_;
};

}  // namespace uilib::win
