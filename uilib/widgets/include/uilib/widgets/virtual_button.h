// Windowless buttons and check boxes drawn from a texture: frames of one image
// side by side, a list of flat colours, or one image tinted towards grey. The
// look follows the state index (normal, hovered, pressed, disabled). Painting
// is in win/virtual_button_paint.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "uilib/element.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/style_values.h"
#include "uilib/widgets/texture_attributes.h"
#include "uilib/widgets/texture_image.h"
#include "uilib/widgets/widget_state.h"

class CUILibVirtualBtn : public CUILibElement {
 public:
  CUILibVirtualBtn(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  ~CUILibVirtualBtn() override;
  const char* KindName() const override { return "CUILibVirtualBtn"; }

  void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) override;
  // Press and release repaint the (enabled) button, then run the base chain.
  int OnLButtonDown(uilib::PointF point) override;
  int OnLButtonUp(uilib::PointF point) override;
  // Enter keeps the hover without firing onmouseover; an enabled button's
  // leave only repaints (no onmouseout), a disabled one's is the base's.
  int OnMouseEnter() override;
  int OnMouseLeave() override;
  // Takes the downloaded remote texture as its image.
  void OnFileDownloaded(uilib::DownloadRecord* record) override;
  // Clears the hover first, so the new look shows without a stale hover.
  int Enable(int enable) override;

  uilib::StateIndex CurrentState() const;
  bool HasImage() const { return image_ != nullptr; }
  const std::vector<std::uint32_t>& Colours() const { return colours_; }
  const std::vector<uilib::ColourMatrix>& GrayMatrices() const { return gray_matrices_; }
  const uilib::BackgroundPaint& TextureMargin() const { return texture_margin_; }
  uilib::SizeF FrameSize() const { return frame_size_; }
  bool IsRemote() const { return remote_; }
  bool IsRequested() const { return requested_; }

 private:
  void RequestGrownRepaint();
  // Starts the download of a remote texture once.
  void RequestRemoteTexture();

  uilib::TextureImagePtr image_;
  std::vector<std::uint32_t> colours_;
  uilib::BackgroundPaint texture_margin_;
  uilib::SizeF frame_size_;
  std::vector<uilib::ColourMatrix> gray_matrices_;
  std::string texture_;
  bool remote_ = false;
  bool requested_ = false;
};

class CUILibVirtualCheckBox : public CUILibElement, public IUILibCheckBox {
 public:
  CUILibVirtualCheckBox(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  ~CUILibVirtualCheckBox() override;
  const char* KindName() const override { return "CUILibVirtualCheckBox"; }

  // Eight frames: unchecked normal, hovered, pressed, disabled, then the same
  // four checked.
  void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) override;
  int OnLButtonDown(uilib::PointF point) override;
  // An enabled release inverts the check before the click is routed, so the
  // onclick handler sees the new state.
  int OnLButtonUp(uilib::PointF point) override;
  int OnMouseEnter() override;
  // Repaints when enabled, then always the base (fires onmouseout).
  int OnMouseLeave() override;

  // IUILibCheckBox. The value is stored as given; nonzero paints checked.
  int GetCheck() override { return checked_; }
  void SetCheck(int checked) override;

  uilib::StateIndex CurrentState() const;
  bool HasImage() const { return image_ != nullptr; }

 private:
  void RequestGrownRepaint();

  uilib::TextureImagePtr image_;
  int checked_ = 0;
};
