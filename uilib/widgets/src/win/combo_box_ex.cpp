// The extended combo box: a "ComboBoxEx32" drop-down list whose items each
// show a picture from one image list, filled from the `data` attribute.
#include <windows.h>
#include <commctrl.h>

#include <tinyxml.h>

#include "uilib/text_ref.h"
#include "uilib/text_util.h"
#include "uilib/widgets/native_controls.h"
#include "uilib/win/common_controls.h"
#include "uilib/win/resource_image.h"

namespace {

// Rectangle of the control at creation: the height is that of the drop-down
// list; the first layout gives the control its place.
constexpr int kDropDownHeight = 1000;
constexpr int kImageListInitial = 5;

// The picture as a bitmap handle on opaque white, or null when the image is
// not a bitmap or cannot be converted.
HBITMAP ToBitmapHandle(Gdiplus::Image* image) {
  if (image == nullptr || image->GetType() != Gdiplus::ImageTypeBitmap) return nullptr;
  Gdiplus::Bitmap canvas(static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()),
                         PixelFormat32bppARGB);
  {
    Gdiplus::Graphics graphics(&canvas);
    if (graphics.DrawImage(image, 0, 0, static_cast<INT>(image->GetWidth()),
                           static_cast<INT>(image->GetHeight())) != Gdiplus::Ok) {
      return nullptr;
    }
  }
  HBITMAP bitmap = nullptr;
  if (canvas.GetHBITMAP(Gdiplus::Color(255, 255, 255, 255), &bitmap) != Gdiplus::Ok) return nullptr;
  return bitmap;
}

}  // namespace

CUILibComboBoxEx::CUILibComboBoxEx(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibNativeControl(parent, xml, lib) {
  if (const char* data = Xml()->Attribute("data")) items_ = uilib::ParseComboItems(data);
  if (const char* value = Xml()->Attribute("default")) default_data_ = uilib::LeadingInt(value);
}

CUILibComboBoxEx::~CUILibComboBoxEx() {
  DestroyControl();
  if (image_list_ != nullptr) uilib::win::DestroyImageList(image_list_);
}

void CUILibComboBoxEx::OnAttach(uilib::NativeWindow window) {
  // Attached again by a rebuild: the control made at the first attach stays.
  if (window == nullptr || control_ != nullptr) return;
  uilib::win::StartCommonControls();
  HWND control = CreateWindowExW(0, WC_COMBOBOXEXW, nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 0, 0,
                                 kDropDownHeight, window, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (control == nullptr) return;
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(static_cast<CUILibElement*>(this)));
  AdoptControl(control, true);
  InsertItems();
  SelectByData(default_data_);
}

void CUILibComboBoxEx::InsertItems() {
  for (const uilib::ComboItem& item : items_) {
    uilib::win::ImageRef picture = uilib::win::ResolveImageRef(item.image);
    HBITMAP bitmap = ToBitmapHandle(picture.image);
    if (bitmap == nullptr) continue;  // an item without a picture is not shown
    if (image_list_ == nullptr) {
      image_list_ = uilib::win::CreateImageList(static_cast<int>(picture.image->GetWidth()),
                                     static_cast<int>(picture.image->GetHeight()), ILC_COLOR32 | ILC_MASK,
                                     kImageListInitial, 0);
      if (image_list_ == nullptr) {
        DeleteObject(bitmap);
        return;
      }
      SendMessageW(control_, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(image_list_));
    }
    const int index = uilib::win::AddToImageList(image_list_, bitmap, nullptr);
    DeleteObject(bitmap);  // the list keeps its own copy
    if (index < 0) continue;
    std::wstring text = uilib::ResolveText(Library(), item.text);
    COMBOBOXEXITEMW row{};
    row.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_OVERLAY | CBEIF_LPARAM;
    row.iItem = index;
    row.pszText = text.data();
    row.iImage = index;
    row.iSelectedImage = index;
    row.iOverlay = 1;
    row.lParam = item.data;
    SendMessageW(control_, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
  }
}

int CUILibComboBoxEx::SelectByData(int data) {
  if (control_ == nullptr) return 0;
  const int count = static_cast<int>(SendMessageW(control_, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (static_cast<int>(SendMessageW(control_, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == data) {
      return static_cast<int>(SendMessageW(control_, CB_SETCURSEL, static_cast<WPARAM>(i), 0));
    }
  }
  return count;
}

int CUILibComboBoxEx::GetSelectedData() {
  if (control_ == nullptr) return 0;
  const LRESULT selected = SendMessageW(control_, CB_GETCURSEL, 0, 0);
  return static_cast<int>(SendMessageW(control_, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
}

int CUILibComboBoxEx::Enable(int enable) {
  if (control_ == nullptr) return 0;
  const bool was_enabled = IsWindowEnabled(control_) != FALSE;
  EnableWindow(control_, enable != 0);
  return was_enabled ? 1 : 0;
}
