// The element kinds in builds without GDI+ and Win32: nothing is drawn, no
// texture loads, no native control or scroll bar exists.
#include "uilib/widgets/image.h"
#include "uilib/widgets/label.h"
#include "uilib/widgets/progress.h"
#include "uilib/widgets/texture_image.h"
#include "uilib/widgets/virtual_button.h"

namespace uilib {

class TextureImage {};

void TextureImageDeleter::operator()(TextureImage* image) const { delete image; }
TextureImagePtr LoadTextureImage(std::string_view) { return nullptr; }
TextureImagePtr LoadTextureFile(const std::wstring&) { return nullptr; }

}  // namespace uilib

void CUILibLabel::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}
void CUILibAnchor::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}
void CUILibVirtualBtn::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}
void CUILibVirtualCheckBox::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}
void CUILibVirtualProgressBase::PaintBar(Gdiplus::Graphics*, const uilib::RectF&) {}
void CUILibVirtualProcessBar::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}
void CUILibVirtualCircleProcess::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}

CUILibProcessBar::~CUILibProcessBar() = default;
void CUILibProcessBar::Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) {
  CUILibElement::Layout(area, graphics, out);
}
void CUILibProcessBar::SetProgress(double) {}
void CUILibImage::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}
