// CUILibStyle: one element's style record. Parse() turns style text into plain
// values (Win32-free) and hands the properties it found to the graphics backend,
// which on Windows replaces the GDI+ objects (brushes, image, pen, fonts,
// string format, cursor) built from those values.
#pragma once

#include <memory>

#include "uilib/base.h"
#include "uilib/style_values.h"

class CUILibElement;

namespace uilib {
class StyleGraphics;  // GDI+ objects of a style; defined by the graphics backend
struct StyleGraphicsDeleter {
  void operator()(StyleGraphics* graphics) const;
};
using StyleGraphicsPtr = std::unique_ptr<StyleGraphics, StyleGraphicsDeleter>;

// Backend hooks: a new object set with the defaults (null where the build has
// no graphics backend), and the update after a parse.
StyleGraphicsPtr CreateStyleGraphics();
void ApplyStyleGraphics(StyleGraphics* graphics, const StyleValues& values, StylePropertySet found);
}  // namespace uilib

class CUILibStyle : public CUILibBase {
 public:
  explicit CUILibStyle(CUILibElement* owner);
  ~CUILibStyle() override;

  // Applies a style text; a null text changes nothing. Properties absent from
  // the text keep their current values.
  void Parse(const char* text);

  const uilib::StyleValues& Values() const { return values_; }
  // Null in builds without a graphics backend.
  uilib::StyleGraphics* Graphics() const { return graphics_.get(); }
  CUILibElement* Owner() const { return owner_; }

 private:
  uilib::StyleValues values_;
  uilib::StyleGraphicsPtr graphics_;
  CUILibElement* owner_;
};
