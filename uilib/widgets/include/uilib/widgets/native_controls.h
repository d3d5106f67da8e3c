// The highlight button and the elements that wrap Windows controls: a check
// box ("BUTTON"), an extended combo box ("ComboBoxEx32") and a rich edit
// ("RichEdit20W"). The native kinds create their control as a child of the
// skinned window, keep it at the element's rectangle on every layout and
// destroy it with the element; they paint nothing themselves.
// Win32 parts are in win/button_paint.cpp, win/native_check_box.cpp,
// win/combo_box_ex.cpp and win/rich_edit*.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "uilib/element.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/native_handles.h"
#include "uilib/widgets/native_control_attributes.h"

// Win32 and COM types named below, declared without <windows.h> (the SDK's tags).
struct _IMAGELIST;
struct HFONT__;
struct IRichEditOle;
struct _editstream;

// A client's source of rich edit content. The skin names it in the `stream`
// attribute as "handle::" + its "%p" address; the library uses it only while
// it is registered (RegisterRichEditStream), so that no address read from skin
// text is ever dereferenced on trust.
class IUILibRichEditStream {
 public:
  // Prepares an EDITSTREAM whose callback yields RTF; the record must stay
  // valid until the control has read the content.
  virtual _editstream* PrepareStream() = 0;

 protected:
  ~IUILibRichEditStream() = default;
};

namespace uilib {
// Registers (or forgets) a stream source for `stream` attributes. A source
// must stay registered while rich edits naming it are created.
void RegisterRichEditStream(IUILibRichEditStream* source);
void UnregisterRichEditStream(IUILibRichEditStream* source);
// The registered source that a `stream` value names, or null (not a
// "handle::" value, a malformed address, or an unregistered one).
IUILibRichEditStream* FindRichEditStream(std::string_view value);
}  // namespace uilib

// A windowless container lit by a rounded translucent highlight while the
// pointer is over it or for its whole life when `selected` is "true".
class CUILibButton : public CUILibElement {
 public:
  CUILibButton(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  const char* KindName() const override { return "CUILibButton"; }

  // Background, children and overlay, then the highlight once when selected
  // and once more when hovered.
  void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) override;
  // The first move over the button repaints it grown by a pixel and asks for
  // the leave notification; the move never reaches the parent.
  int OnMouseMove(uilib::PointF point) override;
  int OnMouseLeave() override;

  bool IsSelected() const { return selected_; }

 private:
  bool selected_ = false;
};

// What the native kinds share: the control's handle, its move on every layout
// and its destruction with the element.
class CUILibNativeControl : public CUILibElement {
 public:
  using CUILibElement::CUILibElement;
  ~CUILibNativeControl() override;

  // The base layout; then the control (if any) is moved to the element.
  void Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) override;
  // The control paints itself.
  void Paint(Gdiplus::Graphics*, const uilib::RectF&) override {}

  uilib::NativeWindow Control() const { return control_; }

 protected:
  // The skinned window's handle, or null while the tree has no window.
  uilib::NativeWindow ParentWindow();
  // Takes a newly created control (null: creation failed); one that
  // `notifies` is registered with the window, which routes its WM_COMMAND
  // notifications to the element.
  void AdoptControl(uilib::NativeWindow control, bool notifies);
  void DestroyControl();

  uilib::NativeWindow control_ = nullptr;
};

class CUILibCheckBox : public CUILibNativeControl, public IUILibCheckBox {
 public:
  using CUILibNativeControl::CUILibNativeControl;
  const char* KindName() const override { return "CUILibCheckBox"; }

  // Creates the auto check box (id 0x406) at the first layout in a window.
  void Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) override;

  // IUILibCheckBox: BM_GETCHECK / BM_SETCHECK on the control; nothing without one.
  int GetCheck() override;
  void SetCheck(int checked) override;
};

class CUILibComboBoxEx : public CUILibNativeControl, public IUILibComboBoxEx {
 public:
  CUILibComboBoxEx(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  ~CUILibComboBoxEx() override;
  const char* KindName() const override { return "CUILibComboBoxEx"; }

  // Creates the drop-down list, fills it with the items that have a bitmap
  // and selects the `default` data value.
  void OnAttach(uilib::NativeWindow window) override;
  // Enables or disables the control only; the previous state of the control.
  int Enable(int enable) override;

  // IUILibComboBoxEx
  int SelectByData(int data) override;
  int GetSelectedData() override;

  const std::vector<uilib::ComboItem>& Items() const { return items_; }
  int DefaultData() const { return default_data_; }

 private:
  void InsertItems();

  std::vector<uilib::ComboItem> items_;
  int default_data_ = 0;
  _IMAGELIST* image_list_ = nullptr;
};

namespace uilib {
class RichEditOleCallback;
}

class CUILibRichEdit : public CUILibNativeControl, public IUILibRichEdit {
 public:
  CUILibRichEdit(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  ~CUILibRichEdit() override;
  const char* KindName() const override { return "CUILibRichEdit"; }

  // Creates the control with the style, its OLE callback, the `stream`
  // content and the element's font.
  void OnAttach(uilib::NativeWindow window) override;

  // IUILibRichEdit
  std::wstring GetText() override;
  int SetText(const wchar_t* text) override;

  std::uint32_t WindowStyle() const { return window_style_; }
  // Called by the control's subclass for every WM_CHAR before the control.
  void OnControlChar(unsigned int character);

 private:
  void PrepareControl();
  void StreamIn();
  void ApplyFont();

  std::uint32_t window_style_ = uilib::kRichEditDefaultStyle;
  std::unique_ptr<uilib::RichEditOleCallback> callback_;
  IRichEditOle* rich_edit_ole_ = nullptr;  // the control's IRichEditOle (owned reference)
  HFONT__* font_ = nullptr;
};
