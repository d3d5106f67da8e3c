// Layout of an element's children: the remaining-area placement.
//
// Children are placed one after another into a remaining area; after each one
// the area for the next is derived from where it went (beside it on its line,
// below it, over it, or unchanged). Percentages refer to the remaining area at
// the moment a child is placed. Rectangles are window client coordinates.
//
// Choices where the skin language leaves the meaning open:
//  - Percentage offsets (left/top/right/bottom in %) move the element by that
//    fraction of the free space (area minus the element's size), measured from
//    the side they name: `left:50%` and `right:50%` both centre horizontally,
//    `top:0%` aligns to the top and `bottom:0%` to the bottom.
//  - Auto margins on both sides with a percentage size: the size is that
//    percentage of the remaining area and the element is centred in it, as it
//    is for a pixel size.
//  - A `vscroll` id that names no element: there is no linked scroll bar and
//    the element is laid out as if it had no `vscroll` (bounded height).
#include <algorithm>
#include <vector>
#include <tinyxml.h>

#include "uilib/element.h"
#include "uilib/scroll_link.h"

using uilib::RectF;
using uilib::SizeF;

namespace {

constexpr float kScrollBarStrip = 17.0f;

bool BothAuto(float a, float b) { return a == uilib::kAutoEdge && b == uilib::kAutoEdge; }

// A place for the next child must have some area.
bool Usable(const RectF& area) { return !uilib::IsEmptyExtent(area.w) && !uilib::IsEmptyExtent(area.h); }

// The child's content size with `start` as the size passed in; a kind that
// produces no size leaves `start`.
SizeF Measure(CUILibElement* child, Gdiplus::Graphics* graphics, SizeF start, const RectF& area) {
  SizeF size = start;
  if (!child->MeasureContent(graphics, &size, SizeF{area.w, area.h})) return start;
  return size;
}

// Size along one axis of a length with a margin on each side counted inside it.
struct AxisPlacement {
  float position = 0.0f;
  float size = 0.0f;
  bool fits = true;
};

// One axis of the placement. `start`/`extent` are the area's origin and size on
// the axis; `near`/`far` the margins; `measure` gives the content size.
template <typename MeasureFn>
AxisPlacement PlaceAxis(const uilib::StyleLength& length, float start, float extent, float near_margin,
                        float far_margin, int depth, MeasureFn measure) {
  AxisPlacement p;
  if (BothAuto(near_margin, far_margin)) {
    if (length.is_auto) {
      p.size = measure();
    } else if (length.IsPercent()) {
      p.size = extent * (length.percent / 100.0f);
    } else {
      p.size = length.pixels;
    }
    p.position = uilib::TruncF((extent - p.size) * 0.5f + start);
    return p;
  }
  p.position = start + near_margin;
  if (length.is_auto) {
    p.size = near_margin + measure() + far_margin;
  } else if (length.IsPercent()) {
    p.size = extent * (length.percent / 100.0f) - near_margin - far_margin;
  } else {
    p.size = length.pixels;
    if (extent < p.size + near_margin + far_margin) {
      // The first child of an element is shrunk to fit; a later one is not placed.
      if (depth > 1) p.fits = false;
      p.size = extent - near_margin - far_margin;
    }
  }
  return p;
}

// Offsets, later ones winning: left, top, right, bottom.
void ApplyOffsets(const uilib::StyleValues& v, const RectF& a, RectF* r) {
  if (!v.left.is_auto) {
    r->x = v.left.IsPercent() ? a.x + (a.w - r->w) * (v.left.percent / 100.0f) : a.x + v.left.pixels;
  }
  if (!v.top.is_auto) {
    r->y = v.top.IsPercent() ? uilib::TruncF(a.y + (a.h - r->h) * (v.top.percent / 100.0f)) : a.y + v.top.pixels;
  }
  if (!v.right.is_auto) {
    r->x = v.right.IsPercent() ? uilib::TruncF(a.x + a.w - r->w - (a.w - r->w) * (v.right.percent / 100.0f))
                               : a.x + a.w - r->w - v.right.pixels;
  }
  if (!v.bottom.is_auto) {
    // A pixel value moves the element down from the bottom-aligned position.
    r->y = v.bottom.IsPercent() ? uilib::TruncF(a.y + a.h - r->h - (a.h - r->h) * (v.bottom.percent / 100.0f))
                                : a.y + a.h - r->h + v.bottom.pixels;
  }
}

}  // namespace

void CUILibElement::Layout(const RectF& r, Gdiplus::Graphics* graphics, RectF* out) {
  if (overlay_ && out == nullptr) overlay_->Layout(r, graphics, nullptr);
  if (uilib::IsEmptyExtent(r.w) || uilib::IsEmptyExtent(r.h)) {
    if (out != nullptr) {
      *out = {};
    } else {
      rect_ = r;  // keep the rect truthful: an empty element is neither painted nor hit
    }
    ZeroChildSizes();
    return;
  }
  float strip = 0.0f;
  if (out != nullptr) {
    if (children_.First() == nullptr) return;
    CUILibElement* current = children_.First();
    PlaceChildren(ContentArea(r, false, &strip), current, graphics, 1, out);
    return;
  }
  rect_ = r;
  CUILibElement* linked_bar = nullptr;
  if (style_.Values().overflow != uilib::Overflow::kScroll) {
    linked_bar = LinkedScrollBar();
    has_linked_scroll_bar_ = linked_bar != nullptr;
  } else if (!native_scroll_bar_) {
    if (uilib::WindowServices* services = Services()) native_scroll_bar_ = services->CreateNativeScrollBar(this);
  }
  if (children_.First() == nullptr) return;
  ZeroChildSizes();
  visible_rect_ = r;
  CUILibElement* current = children_.First();
  PlaceChildren(ContentArea(r, true, &strip), current, graphics, 1, nullptr);
  UpdateScrollBars(r, strip, linked_bar);
}

int CUILibElement::MeasureContent(Gdiplus::Graphics* graphics, SizeF* size, const SizeF& avail) {
  if (children_.First() == nullptr || size == nullptr) return 0;
  float strip = 0.0f;
  RectF area = ContentArea(RectF{0.0f, 0.0f, avail.w, avail.h}, false, &strip);
  RectF out{};
  CUILibElement* current = children_.First();
  PlaceChildren(area, current, graphics, 1, &out);
  if (uilib::IsEmptyExtent(out.w) || uilib::IsEmptyExtent(out.h)) return 0;
  size->w = out.w;
  size->h = out.h;
  return 1;
}

void CUILibElement::ZeroChildSizes() {
  for (CUILibElement* child = children_.First(); child != nullptr; child = children_.Next(child)) {
    child->rect_.w = 0.0f;
    child->rect_.h = 0.0f;
  }
}

RectF CUILibElement::ContentArea(const RectF& r, bool with_linked_bar, float* scroll_strip) const {
  const uilib::BoxEdges& pad = style_.Values().padding;
  RectF area{r.x + pad.left, r.y + pad.top, r.w - pad.left - pad.right, r.h - pad.top - pad.bottom};
  *scroll_strip = 0.0f;
  if (style_.Values().overflow == uilib::Overflow::kScroll) {
    area.h = uilib::kUnboundedExtent;
    *scroll_strip = std::min(area.w, kScrollBarStrip);
    area.w -= *scroll_strip;
  } else if (with_linked_bar && has_linked_scroll_bar_) {
    area.h = uilib::kUnboundedExtent;
  }
  return area;
}

CUILibElement* CUILibElement::LinkedScrollBar() {
  if (!has_vscroll_) return nullptr;
  const char* id = xml_->Attribute("vscroll");
  if (id == nullptr) return nullptr;
  std::vector<IUILibElement*> found;
  RootElement()->FindElementsById(found, id);
  return found.empty() ? nullptr : static_cast<CUILibElement*>(found.front());
}

void CUILibElement::UpdateScrollBars(const RectF& r, float strip, CUILibElement* linked_bar) {
  const bool scroll = style_.Values().overflow == uilib::Overflow::kScroll;
  if (!(scroll && native_scroll_bar_) && linked_bar == nullptr) return;
  const int maximum = uilib::TruncToInt(visible_rect_.h + style_.Values().padding.bottom - 1.0f);
  const int page = uilib::TruncToInt(r.h);
  if (scroll && native_scroll_bar_) {
    native_scroll_bar_->SetRangeAndPage(maximum, page, true);
    const int x = uilib::TruncToInt(r.x + r.w - strip);
    const int y = uilib::TruncToInt(r.y + style_.Values().border.width);
    native_scroll_bar_->Move(x, y, uilib::TruncToInt(r.x + r.w) - x, uilib::TruncToInt(r.y + r.h) - y);
  } else if (linked_bar != nullptr) {
    uilib::SetLinkedScrollRange(linked_bar, maximum, page);
  }
}

void CUILibElement::GrowContentExtent(const RectF& placed) {
  visible_rect_.w = std::max(visible_rect_.w, placed.x + placed.w - rect_.x);
  visible_rect_.h = std::max(visible_rect_.h, placed.y + placed.h - rect_.y);
}

bool CUILibElement::PlaceOne(const RectF& a, CUILibElement* child, Gdiplus::Graphics* graphics, int depth,
                             RectF* placed) {
  const uilib::StyleValues& v = child->style_.Values();
  const uilib::BoxEdges& m = v.margin;
  AxisPlacement across = PlaceAxis(v.width, a.x, a.w, m.left, m.right, depth,
                                   [&] { return Measure(child, graphics, SizeF{}, a).w; });
  if (!across.fits) return false;
  AxisPlacement down = PlaceAxis(v.height, a.y, a.h, m.top, m.bottom, depth,
                                 [&] { return Measure(child, graphics, SizeF{across.size, 0.0f}, a).h; });
  if (!down.fits) return false;
  *placed = RectF{across.position, down.position, across.size, down.size};
  ApplyOffsets(v, a, placed);
  return true;
}

namespace {

// A pending attempt to place the rest of a row beside a child: where the child
// that does not fit there goes instead (below the child it was tried beside),
// and the placement depth at that point.
struct InlineRetry {
  RectF below;
  int depth = 0;
};

// The retries of every PlaceChildren call running on this thread, innermost
// last. A call only touches the entries above the size it found on entry and
// leaves that size behind when it returns, so nested layouts share it.
std::vector<InlineRetry>& InlineRetries() {
  static thread_local std::vector<InlineRetry> retries;
  return retries;
}

class InlineRetryScope {
 public:
  InlineRetryScope() : retries_(InlineRetries()), base_(retries_.size()) {}
  ~InlineRetryScope() { retries_.resize(base_); }
  InlineRetryScope(const InlineRetryScope&) = delete;
  InlineRetryScope& operator=(const InlineRetryScope&) = delete;

  void Push(const RectF& below, int depth) { retries_.push_back(InlineRetry{below, depth}); }
  // Ends the innermost failed attempt: the area below its child, or the next
  // outer attempt when nothing is left there. False when no attempt remains.
  bool FallBack(RectF* area, int* depth) {
    while (retries_.size() > base_) {
      const InlineRetry retry = retries_.back();
      retries_.pop_back();
      if (Usable(retry.below)) {
        *area = retry.below;
        *depth = retry.depth;
        return true;
      }
    }
    return false;
  }

 private:
  std::vector<InlineRetry>& retries_;
  std::size_t base_;
};

}  // namespace

bool CUILibElement::PlaceChildren(RectF a, CUILibElement*& current, Gdiplus::Graphics* graphics, int depth,
                                  RectF* out) {
  // Each child after the first is placed into an area derived from where the
  // one before it went. Placing the rest of a row beside a child is an attempt
  // that may fail further on; the child that failed then goes below the child
  // of the innermost attempt. Those attempts are kept on a list, not nested
  // calls, so rows of any length cannot exhaust the stack.
  InlineRetryScope retries;
  for (;;) {
    CUILibElement* c = current;
    RectF p;
    if (!PlaceOne(a, c, graphics, depth, &p)) {
      if (retries.FallBack(&a, &depth)) continue;
      return false;
    }
    GrowContentExtent(p);
    if (out != nullptr) {
      out->w = std::max(out->w, p.x + p.w);
      out->h = std::max(out->h, p.y + p.h);
    } else {
      c->Layout(p, graphics, nullptr);
    }
    CUILibElement* n = c->next_;
    if (n == children_.First()) return true;
    current = n;
    ++depth;
    const uilib::StyleValues& cv = c->style_.Values();
    const uilib::BoxEdges& m = cv.margin;
    const RectF below{a.x, p.y + p.h + m.bottom, a.w, a.h - p.h - m.bottom};
    if (cv.position == uilib::Position::kFixed) continue;  // takes no room
    if (!cv.right.is_auto || !cv.bottom.is_auto) {
      if (!cv.right.is_auto) a.w -= p.w;
      if (!cv.bottom.is_auto) a.h -= p.h;
      continue;
    }
    const uilib::Display next_display = n->style_.Values().display;
    RectF next_area = below;
    if (cv.display != uilib::Display::kBlock && next_display == uilib::Display::kInline) {
      if (!BothAuto(m.left, m.right)) {
        RectF rest{p.x + p.w + m.right, p.y - m.top, a.w - p.w - m.right - m.left, m.top + p.h + m.bottom};
        if (rest.w > 0.0f) next_area = rest;
      }
      if (next_area.w > 0.0f && next_area.h > 0.0f) {
        retries.Push(below, depth);
        a = next_area;
        continue;
      }
      if (retries.FallBack(&a, &depth)) continue;
      return false;
    }
    if (cv.display != uilib::Display::kBlock && next_display != uilib::Display::kBlock) {
      // display none or INLINE_BLOCK: the next child is placed over this one.
      next_area = p;
    }
    if (!Usable(next_area)) {
      if (retries.FallBack(&a, &depth)) continue;
      return false;
    }
    a = next_area;
  }
}
