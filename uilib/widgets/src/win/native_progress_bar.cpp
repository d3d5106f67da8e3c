// The native progress bar: a "msctls_progress32" child of the element's
// window, created at the first layout and moved with the element afterwards.
#include <windows.h>
#include <commctrl.h>

#include "uilib/widgets/progress.h"
#include "uilib/widgets/progress_geometry.h"
#include "uilib/win/common_controls.h"

namespace {

constexpr int kProgressRangeMax = 10000;

}  // namespace

CUILibProcessBar::~CUILibProcessBar() {
  if (control_ != nullptr && IsWindow(control_)) DestroyWindow(control_);
}

void CUILibProcessBar::Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) {
  CUILibElement::Layout(area, graphics, out);
  if (out != nullptr) return;
  const uilib::RectF& r = Rect();
  const int left = uilib::TruncToInt(r.x);
  const int top = uilib::TruncToInt(r.y);
  if (control_ != nullptr) {
    MoveWindow(control_, left, top, uilib::TruncToInt(r.x + r.w) - left, uilib::TruncToInt(r.y + r.h) - top, TRUE);
    return;
  }
  uilib::WindowServices* services = Services();
  HWND parent = services != nullptr ? services->Handle() : nullptr;
  // The control is a child of the skinned window; a tree laid out without a
  // native window (tools, measuring) gets its control at a later layout.
  if (parent == nullptr) return;
  uilib::win::StartCommonControls();
  control_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, left, top,
                             uilib::TruncToInt(r.x + r.w) - left, uilib::TruncToInt(r.y + r.h) - top, parent,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  if (control_ != nullptr) SendMessageW(control_, PBM_SETRANGE32, 0, kProgressRangeMax);
}

void CUILibProcessBar::SetProgress(double fraction) {
  if (control_ == nullptr) return;
  const double clamped = uilib::ClampProgress(fraction);
  SendMessageW(control_, PBM_SETPOS, static_cast<WPARAM>(static_cast<int>(clamped * kProgressRangeMax)), 0);
}
