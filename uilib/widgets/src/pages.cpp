#include "uilib/widgets/pages.h"

#include "uilib/error.h"
#include "uilib/tree_lock.h"

namespace {

constexpr std::uint32_t kSlideMs = 600;

void OnSlideStep(IUILibElement* element, void* direction, float progress) {
  if (auto* frame = dynamic_cast<CUILibPageFrame*>(element)) frame->SlideStep(direction != nullptr, progress);
}

}  // namespace

CUILibPage::CUILibPage(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib) {
  Enable(0);
}

CUILibPage::~CUILibPage() = default;

void CUILibPage::MakeLive() {
  snapshot_ = false;
  Enable(1);
  visible_ = true;
}

void CUILibPage::MakeSnapshot() {
  snapshot_ = true;
  Enable(0);
  visible_ = false;
}

CUILibPageFrame::CUILibPageFrame(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib) {
  CollectPages();
  if (!pages_.empty()) pages_.front()->MakeLive();
}

void CUILibPageFrame::CollectPages() {
  pages_.clear();
  const uilib::ElementChildren& children = Children();
  for (CUILibElement* child = children.First(); child != nullptr; child = children.Next(child)) {
    if (auto* page = dynamic_cast<CUILibPage*>(child)) pages_.push_back(page);
  }
  if (current_ >= pages_.size()) current_ = 0;
}

void CUILibPageFrame::Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) {
  // The base takes the rectangle, zeroes empty areas and measures.
  CUILibElement::Layout(area, graphics, out);
  if (out != nullptr || uilib::IsEmptyExtent(area.w) || uilib::IsEmptyExtent(area.h)) return;
  CollectPages();
  // Pages built anew (a rebuilt frame) start as snapshots: the current one
  // becomes live again.
  if (!busy_ && !pages_.empty() && pages_[current_]->IsSnapshot()) pages_[current_]->MakeLive();
  const uilib::BoxEdges& pad = Style().Values().padding;
  const uilib::RectF content{area.x + pad.left, area.y + pad.top, area.w - pad.left - pad.right,
                             area.h - pad.top - pad.bottom};
  const uilib::ElementChildren& children = Children();
  for (CUILibElement* child = children.First(); child != nullptr; child = children.Next(child)) {
    if (auto* page = dynamic_cast<CUILibPage*>(child)) {
      page->Layout(content, graphics, nullptr);
      page->EnsureBitmap();
    } else {
      child->Layout(uilib::RectF{content.x, content.y, 0, 0}, graphics, nullptr);
    }
  }
}

size_t CUILibPageFrame::Neighbour(bool next) const {
  if (next) return (current_ + 1) % pages_.size();
  return current_ == 0 ? pages_.size() - 1 : current_ - 1;
}

int CUILibPageFrame::StartSlide(bool next) {
  if (busy_) return 0;
  if (pages_.empty()) AtlThrow(uilib::kEFail);
  uilib::ScopedTreeChange change(Library(), "page slide");
  busy_ = true;
  for (CUILibPage* page : pages_) page->MakeSnapshot();
  pages_[current_]->SetVisible(true);
  pages_[Neighbour(next)]->SetVisible(true);
  Animate(&OnSlideStep, next ? this : nullptr, kSlideMs);
  return 1;
}

void CUILibPageFrame::SlideStep(bool next, float p) {
  if (!busy_ || pages_.empty()) return;
  uilib::ScopedTreeChange change(Library(), "page slide step");
  CUILibPage* current = pages_[current_];
  CUILibPage* incoming = pages_[Neighbour(next)];
  const float w = current->Rect().w;
  if (next) {
    current->SetOffset(-w * p, 0);
    incoming->SetOffset((1 - p) * incoming->Rect().w, 0);
  } else {
    current->SetOffset(w * p, 0);
    incoming->SetOffset((p - 1) * incoming->Rect().w, 0);
  }
  if (uilib::WindowServices* services = Services()) {
    const float top = Rect().y - static_cast<float>(ScrollOffset());
    services->RequestRepaint(uilib::RepaintRect{static_cast<int>(Rect().x), static_cast<int>(top),
                                                static_cast<int>(Rect().x + Rect().w + 1),
                                                static_cast<int>(top + Rect().h + 1)});
  }
  if (p < 1.0f) return;
  for (CUILibPage* page : pages_) {
    page->SetVisible(false);
    page->SetOffset(0, 0);
  }
  current_ = Neighbour(next);
  pages_[current_]->MakeLive();
  busy_ = false;
}
