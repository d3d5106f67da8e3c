// The native kinds' common part on Windows, and the native check box.
#include <windows.h>

#include "uilib/geometry.h"
#include "uilib/widgets/native_controls.h"
#include "uilib/win/common_controls.h"

namespace {

constexpr int kCheckBoxId = 0x406;

struct PixelBox {
  int x, y, width, height;
};

// (int)x, (int)y and the truncated far edges, as every control is placed.
PixelBox ControlBox(const uilib::RectF& r) {
  const int x = uilib::TruncToInt(r.x);
  const int y = uilib::TruncToInt(r.y);
  return {x, y, uilib::TruncToInt(r.x + r.w) - x, uilib::TruncToInt(r.y + r.h) - y};
}

}  // namespace

CUILibNativeControl::~CUILibNativeControl() { DestroyControl(); }

void CUILibNativeControl::DestroyControl() {
  if (control_ == nullptr) return;
  if (uilib::WindowServices* services = Services()) services->UnregisterChildControl(control_);
  if (IsWindow(control_)) DestroyWindow(control_);
  control_ = nullptr;
}

void CUILibNativeControl::Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) {
  CUILibElement::Layout(area, graphics, out);
  if (out != nullptr || control_ == nullptr) return;
  const PixelBox box = ControlBox(Rect());
  MoveWindow(control_, box.x, box.y, box.width, box.height, TRUE);
}

void CUILibCheckBox::Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) {
  CUILibNativeControl::Layout(area, graphics, out);
  if (out != nullptr || control_ != nullptr) return;
  // A tree laid out without a native window (tools, measuring) gets its
  // control at a later layout.
  HWND parent = ParentWindow();
  if (parent == nullptr) return;
  const PixelBox box = ControlBox(Rect());
  uilib::win::StartCommonControls();  // the themed check box is theirs
  AdoptControl(CreateWindowExW(0, L"BUTTON", nullptr, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, box.x, box.y,
                               box.width, box.height, parent, reinterpret_cast<HMENU>(kCheckBoxId),
                               GetModuleHandleW(nullptr), nullptr),
               false);
}

int CUILibCheckBox::GetCheck() {
  if (control_ == nullptr) return 0;
  return SendMessageW(control_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void CUILibCheckBox::SetCheck(int checked) {
  if (control_ != nullptr) SendMessageW(control_, BM_SETCHECK, static_cast<WPARAM>(checked), 0);
}
