#include "uilib/widgets/progress.h"

#include <cstdlib>
#include <string>
#include <tinyxml.h>

#include "uilib/text_util.h"
#include "uilib/tree_lock.h"
#include "uilib/widgets/progress_geometry.h"
#include "uilib/widgets/rect_ops.h"
#include "uilib/widgets/texture_attributes.h"
#include "uilib/widgets/widget_state.h"

CUILibVirtualProgressBase::CUILibVirtualProgressBase(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib) {
  const TiXmlElement* copy = Xml();
  if (const char* texture = copy->Attribute("texture")) {
    if (uilib::ContainsIgnoreCase(texture, "color:")) {
      if (auto colour = uilib::ParseTextureColour(texture)) colour_ = *colour;
    } else {
      image_ = uilib::LoadTextureImage(uilib::FirstTextureItem(texture));
    }
  }
  if (const char* margin = copy->Attribute("texture-margin")) {
    texture_margin_ = uilib::ParseTextureMargin(margin);
  }
  if (const char* progress = copy->Attribute("progress")) progress_ = std::atof(progress);
}

CUILibVirtualProgressBase::~CUILibVirtualProgressBase() = default;

void CUILibVirtualProgressBase::SetProgress(double fraction) {
  const double clamped = uilib::ClampProgress(fraction);
  // The same value again changes nothing on screen: no repaint.
  if (clamped == progress_) return;
  {
    uilib::ScopedTreeChange change(Library(), "SetProgress");
    progress_ = clamped;
  }
  if (uilib::WindowServices* services = Services()) {
    services->RequestRepaint(uilib::GrownRepaintRect(Rect(), ScrollOffset()));
  }
}

bool CUILibVirtualProgressBase::BarVisible(const uilib::RectF& clip) const {
  const uilib::RectF test = image_ ? Rect() : uilib::ProgressBarRect(Rect(), progress_);
  return !uilib::HasNoArea(uilib::IntersectRects(test, clip));
}
