// Progress elements: the windowless bar and circle, and the native progress
// bar control. All three show a fraction set through IUILibProcess. Painting
// is in win/progress_paint.cpp, the native control in win/native_progress_bar.cpp.
#pragma once

#include <cstdint>

#include "uilib/element.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/style_values.h"
#include "uilib/widgets/texture_image.h"

// The fields and the progress of the windowless kinds: a colour (opaque black
// by default) or an image texture, nine-grid margins, and the fraction.
class CUILibVirtualProgressBase : public CUILibElement, public IUILibProcess {
 public:
  CUILibVirtualProgressBase(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  ~CUILibVirtualProgressBase() override;

  // Clamps to [0, 1], stores, and repaints the element grown by a pixel.
  void SetProgress(double fraction) override;

  double Progress() const { return progress_; }
  std::uint32_t Colour() const { return colour_; }
  bool HasImage() const { return image_ != nullptr; }
  const uilib::BackgroundPaint& TextureMargin() const { return texture_margin_; }

 protected:
  // Draws the linear bar: the colour, the image as a nine-grid, or the image
  // tiled from the element's corner, within the bar rectangle.
  void PaintBar(Gdiplus::Graphics* graphics, const uilib::RectF& clip);
  // Whether the bar's test rectangle meets the clip (the whole element with
  // an image, else the bar).
  bool BarVisible(const uilib::RectF& clip) const;

  uilib::TextureImagePtr image_;
  std::uint32_t colour_ = 0xFF000000u;
  uilib::BackgroundPaint texture_margin_;
  double progress_ = 0.0;
};

class CUILibVirtualProcessBar : public CUILibVirtualProgressBase {
 public:
  using CUILibVirtualProgressBase::CUILibVirtualProgressBase;
  const char* KindName() const override { return "CUILibVirtualProcessBar"; }
  // Reveals the colour or texture from the left up to the fraction.
  void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) override;
};

class CUILibVirtualCircleProcess : public CUILibVirtualProgressBase {
 public:
  using CUILibVirtualProgressBase::CUILibVirtualProgressBase;
  const char* KindName() const override { return "CUILibVirtualCircleProcess"; }
  // With an image and no margins: a clockwise arc from twelve o'clock, closed
  // at 100 %, stroked 13 units wide with the texture. Otherwise the bar.
  void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) override;
};

class CUILibProcessBar : public CUILibElement, public IUILibProcess {
 public:
  using CUILibElement::CUILibElement;
  ~CUILibProcessBar() override;
  const char* KindName() const override { return "CUILibProcessBar"; }

  // The base layout; then the control is moved to the element, or created
  // there at the first layout (range 0..10000).
  void Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) override;
  // The control paints itself.
  void Paint(Gdiplus::Graphics*, const uilib::RectF&) override {}
  // Sets the control's position (fraction x 10000); nothing before the control exists.
  void SetProgress(double fraction) override;

  uilib::NativeWindow Control() const { return control_; }

 private:
  uilib::NativeWindow control_ = nullptr;
};
