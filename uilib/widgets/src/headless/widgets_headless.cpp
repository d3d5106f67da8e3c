// The element kinds in builds without GDI+ and Win32: nothing is drawn, no
// texture loads, no native control or scroll bar exists.
#include "uilib/widgets/image.h"
#include "uilib/widgets/label.h"
#include "uilib/widgets/pages.h"
#include "uilib/widgets/progress.h"
#include "uilib/widgets/texture_image.h"
#include "uilib/widgets/virtual_button.h"

namespace uilib {

class TextureImage {};

void TextureImageDeleter::operator()(TextureImage* image) const { delete image; }
TextureImagePtr LoadTextureImage(std::string_view) { return nullptr; }
TextureImagePtr LoadTextureFile(const std::wstring&) { return nullptr; }
TextureImagePtr LoadTextureReference(std::string_view) { return nullptr; }
void StartImageTimers() {}
void WakeImageTransitionTimers() {}
bool ImageTransitionTimersRunning() { return false; }
void StartAdTimer() {}

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
void CUILibPictureElement::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}
int CUILibPictureElement::MeasureContent(Gdiplus::Graphics*, uilib::SizeF*, const uilib::SizeF&) { return 0; }
void CUILibPictureElement::SetImage(Gdiplus::Image*, int, int) {}
void CUILibPictureElement::SetBitmap(uilib::NativeBitmap, int, int) {}
void CUILibPictureElement::AdvanceFrame() {}
uilib::SizeF CUILibPictureElement::PictureSize() const { return {}; }
int CUILibPictureElement::PictureFrameCount() const { return 0; }
bool CUILibImage::EndFinishedTransitions(std::uint64_t) { return false; }
bool CUILibImage::DrawTransition(Gdiplus::Graphics*, Gdiplus::Image*, const uilib::RectF&, std::uint64_t) { return false; }
void CUILibImage::SetSource(const wchar_t*, std::uint32_t, int) {}
void CUILibImage::SlideTo(const wchar_t*, int, std::uint32_t) {}
void CUILibPage::EnsureBitmap() {}
void CUILibPage::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}
