#include "uilib/widgets/scroll_bar.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <tinyxml.h>

#include "uilib/button_state.h"
#include "uilib/element_watch.h"
#include "uilib/error.h"
#include "uilib/library_state.h"
#include "uilib/scroll_math.h"
#include "uilib/tree_lock.h"
#include "uilib/widgets/texture_attributes.h"
#include "uilib/widgets/widget_state.h"

namespace {

// The pending-drag queue: at most one entry, the latest position a drag asked
// for. Touched only on the UI thread (mouse handlers and the 10 ms timer).
struct PendingDrag {
  CUILibScrollBar* bar;
  int position;
};
std::optional<PendingDrag> g_pending_drag;

// Reads a Record whose first field must hold its size: the client's
// record when the field is right, else the library's error path.
template <typename Record>
Record ReadRecord(const void* from) {
  std::uint32_t field = 0;
  if (from == nullptr) AtlThrow(uilib::kEInvalidArg);
  std::memcpy(&field, from, sizeof field);
  if (field != sizeof(Record)) AtlThrow(uilib::kEInvalidArg);
  Record record;
  std::memcpy(&record, from, sizeof record);
  return record;
}

}  // namespace

CUILibScrollBar::CUILibScrollBar(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib) {
  char name[32];
  for (int i = 0; i < 4; ++i) {
    Part& part = parts_[i];
    std::snprintf(name, sizeof name, "texture%d", i);
    if (const char* value = Xml()->Attribute(name)) part.image = uilib::LoadTextureImage(value);
    std::snprintf(name, sizeof name, "texture-size%d", i);
    if (const char* value = Xml()->Attribute(name)) {
      if (auto size = uilib::ParseTextureSize(value)) {
        part.width = static_cast<int>(size->w);
        part.height = static_cast<int>(size->h);
      }
    }
    std::snprintf(name, sizeof name, "texture-margin%d", i);
    if (const char* value = Xml()->Attribute(name)) part.margins = uilib::ParseTextureMargin(value);
  }
  uilib::State().scroll_step = &CUILibScrollBar::PendingDragStep;
}

CUILibScrollBar::~CUILibScrollBar() {
  if (g_pending_drag && g_pending_drag->bar == this) g_pending_drag.reset();
}

uilib::ScrollBarParts CUILibScrollBar::Parts() const {
  return uilib::ScrollBarParts{parts_[0].height, parts_[2].height, parts_[1].height};
}

void CUILibScrollBar::Update(const uilib::ScrollRecord& info, bool redraw) {
  {
    uilib::ScopedTreeChange change(Library(), "SetScrollInfo");
    uilib::ApplyScrollRecord(info, scroll_);
    const uilib::RectF& r = Rect();
    bar_.left = static_cast<int>(r.x);
    bar_.top = static_cast<int>(r.y);
    bar_.right = static_cast<int>(r.x + r.w);
    bar_.bottom = static_cast<int>(r.y + r.h);
    const uilib::ThumbExtent thumb = uilib::ComputeThumb(scroll_, Parts(), r.h, bar_.bottom - bar_.top, ThumbLength());
    bar_.thumb_top = thumb.top;
    bar_.thumb_bottom = thumb.bottom;
    bar_.line_button = static_cast<int>(r.w);
    // A new range while dragging: the drag goes on from here, so the thumb
    // stays under the pointer.
    if (dragging_ && (info.mask & uilib::kMaskRange) != 0) StartDrag();
  }
  if (redraw) RepaintGrown();
}

void CUILibScrollBar::StartDrag() {
  if (uilib::WindowServices* services = Services()) press_point_ = services->CursorClientPosition();
  press_scroll_ = scroll_;
  press_bar_ = bar_;
}

void CUILibScrollBar::RepaintGrown() {
  if (uilib::WindowServices* services = Services()) {
    services->RequestRepaint(uilib::GrownRepaintRect(Rect(), ScrollOffset()));
  }
}

int CUILibScrollBar::SetScrollPos(int position, int redraw) {
  uilib::ScrollRecord info;
  info.mask = uilib::kMaskPosition;
  info.position = position;
  Update(info, redraw != 0);
  return 0;
}

int CUILibScrollBar::GetScrollRange(int* minimum, int* maximum) {
  if (minimum != nullptr) *minimum = scroll_.minimum;
  if (maximum != nullptr) *maximum = scroll_.maximum;
  return 0;
}

int CUILibScrollBar::SetScrollRange(int minimum, int maximum, int redraw) {
  uilib::ScrollRecord info;
  info.mask = uilib::kMaskRange;
  info.minimum = minimum;
  info.maximum = maximum;
  Update(info, redraw != 0);
  return 0;
}

int CUILibScrollBar::GetScrollInfo(tagSCROLLINFO* info) {
  uilib::ScrollRecord out = ReadRecord<uilib::ScrollRecord>(info);
  if ((out.mask & uilib::kMaskPage) != 0) out.page = scroll_.page;
  if ((out.mask & uilib::kMaskPosition) != 0) out.position = scroll_.position;
  if ((out.mask & uilib::kMaskRange) != 0) {
    out.minimum = scroll_.minimum;
    out.maximum = scroll_.maximum;
  }
  if ((out.mask & uilib::kMaskTrackPosition) != 0) out.track_position = scroll_.track_position;
  std::memcpy(static_cast<void*>(info), &out, sizeof out);
  return 1;
}

int CUILibScrollBar::SetScrollInfo(const tagSCROLLINFO* info, int redraw) {
  Update(ReadRecord<uilib::ScrollRecord>(info), redraw != 0);
  return 0;
}

int CUILibScrollBar::GetScrollBarInfo(tagSCROLLBARINFO* info) {
  ReadRecord<uilib::BarRecord>(info);
  std::memcpy(static_cast<void*>(info), &bar_, sizeof bar_);
  return 1;
}

void CUILibScrollBar::Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) {
  CUILibElement::Layout(area, graphics, out);
  if (out != nullptr) return;
  // The own record's mask is 0: only the rectangle and the thumb change.
  Update(scroll_, false);
}

bool CUILibScrollBar::OnThumb(uilib::PointF p) const {
  return p.x >= static_cast<float>(bar_.left) && p.x < static_cast<float>(bar_.right) &&
         p.y >= static_cast<float>(bar_.top + bar_.thumb_top) && p.y < static_cast<float>(bar_.top + bar_.thumb_bottom);
}

int CUILibScrollBar::ThumbFrame() const {
  if (!thumb_hovered_) return 0;
  return uilib::IsLeftButtonDown() ? 2 : 1;
}

int CUILibScrollBar::OnLButtonDown(uilib::PointF point) {
  uilib::WindowServices* services = Services();
  if (!IsDisabled() && !dragging_ && services != nullptr) {
    if (OnThumb(point)) {
      SetMouseCapture();
      press_point_ = point;
      press_scroll_ = scroll_;
      press_bar_ = bar_;
      scroll_.track_position = scroll_.position;
      dragging_ = true;
      RepaintGrown();
    } else if (point.y < static_cast<float>(bar_.top + bar_.thumb_top)) {
      services->SendScrollRequest(this, uilib::kScrollPageUp, 0);
    } else if (point.y >= static_cast<float>(bar_.top + bar_.thumb_bottom)) {
      services->SendScrollRequest(this, uilib::kScrollPageDown, 0);
    }
  }
  return CUILibElement::OnLButtonDown(point);
}

int CUILibScrollBar::OnMouseMove(uilib::PointF point) {
  uilib::WindowServices* services = Services();
  if (!IsDisabled() && services != nullptr) {
    if (dragging_) {
      const int position =
          uilib::DragPosition(press_scroll_, Parts(), Rect().h, ThumbLength(), point.y - press_point_.y);
      g_pending_drag = PendingDrag{this, position};
      if (auto wanted = uilib::State().scroll_step_wanted) wanted();
    } else if (OnThumb(point) && !thumb_hovered_) {
      thumb_hovered_ = true;
      RepaintGrown();
      services->TrackElement(this);
    } else if (!OnThumb(point) && thumb_hovered_) {
      thumb_hovered_ = false;
      RepaintGrown();
    }
  }
  return CUILibElement::OnMouseMove(point);
}

int CUILibScrollBar::OnLButtonUp(uilib::PointF point) {
  if (!IsDisabled()) RepaintGrown();
  ReleaseMouseCapture();
  dragging_ = false;
  return CUILibElement::OnLButtonUp(point);
}

int CUILibScrollBar::OnMouseLeave() {
  thumb_hovered_ = false;
  RepaintGrown();
  return CUILibElement::OnMouseLeave();
}

void CUILibScrollBar::OnAttach(uilib::NativeWindow window) {
  CUILibElement::OnAttach(window);
  if (uilib::WindowServices* services = Services()) services->RegisterScrollBar(this, Id());
}

bool CUILibScrollBar::PendingDragStep() {
  if (!g_pending_drag) return false;
  const PendingDrag entry = *g_pending_drag;
  g_pending_drag.reset();
  CUILibScrollBar* bar = entry.bar;
  if (bar->dragging_) {
    bar->scroll_.track_position = entry.position;
    // A handler that the scroll reaches (an item provider) may rebuild the
    // tree, bar included.
    uilib::ElementWatch watch(bar);
    if (uilib::WindowServices* services = bar->Services()) {
      services->SendScrollRequest(bar, uilib::kScrollThumbTrack, entry.position);
    }
    if (!watch.Alive()) return true;
  } else {
    bar->scroll_.position = entry.position;
  }
  bar->RepaintGrown();
  return true;
}
