// The element kinds in builds without GDI+ and Win32: nothing is drawn, no
// texture loads, no native control or scroll bar exists.
#include "uilib/widgets/iframe.h"
#include "uilib/widgets/image.h"
#include "uilib/widgets/label.h"
#include "uilib/widgets/native_controls.h"
#include "uilib/widgets/pages.h"
#include "uilib/widgets/progress.h"
#include "uilib/widgets/scroll_bar.h"
#include "uilib/widgets/texture_image.h"
#include "uilib/widgets/virtual_button.h"

namespace uilib {

class TextureImage {};
class RichEditOleCallback {};

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
void CUILibScrollBar::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}

void CUILibButton::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}
CUILibNativeControl::~CUILibNativeControl() = default;
void CUILibNativeControl::Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) {
  CUILibElement::Layout(area, graphics, out);
}
void CUILibNativeControl::DestroyControl() {}
void CUILibCheckBox::Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) {
  CUILibElement::Layout(area, graphics, out);
}
int CUILibCheckBox::GetCheck() { return 0; }
void CUILibCheckBox::SetCheck(int) {}
CUILibComboBoxEx::CUILibComboBoxEx(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibNativeControl(parent, xml, lib) {}
CUILibComboBoxEx::~CUILibComboBoxEx() = default;
void CUILibComboBoxEx::OnAttach(uilib::NativeWindow) {}
int CUILibComboBoxEx::Enable(int) { return 0; }
int CUILibComboBoxEx::SelectByData(int) { return 0; }
int CUILibComboBoxEx::GetSelectedData() { return 0; }
CUILibRichEdit::CUILibRichEdit(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibNativeControl(parent, xml, lib) {}
CUILibRichEdit::~CUILibRichEdit() = default;
void CUILibRichEdit::OnAttach(uilib::NativeWindow) {}
std::wstring CUILibRichEdit::GetText() { return {}; }
int CUILibRichEdit::SetText(const wchar_t*) { return 0; }
void CUILibRichEdit::OnControlChar(unsigned int) {}

namespace WebWindow {
class CWebWindow {};
class CWebBrowserEvents2 {};
}  // namespace WebWindow

CUILibIFrame::CUILibIFrame(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib) {}
CUILibIFrame::~CUILibIFrame() = default;
void CUILibIFrame::Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) {
  CUILibElement::Layout(area, graphics, out);
}
void CUILibIFrame::Navigate(const wchar_t* address) { source_ = address != nullptr ? address : L""; }
void CUILibIFrame::NavigateControl(const std::wstring&) {}
int CUILibIFrame::OnBeforeNavigate(IWebBrowser2*, const std::wstring&) { return 0; }
int CUILibIFrame::OnDocumentComplete(IWebBrowser2*, const std::wstring&) { return 0; }
int CUILibIFrame::OnNewWindowQuery(const std::wstring&, std::wstring&) { return 1; }
int CUILibIFrame::OnNewWindow(const std::wstring&, IDispatch**, VARIANT_BOOL*) { return 1; }
int CUILibIFrame::OnNavigateError(IWebBrowser2*, VARIANT_BOOL*, const std::wstring&) { return 1; }
