// The image element. For now it draws the picture its `src` names, stretched
// into its rectangle (win/image_paint.cpp).
#pragma once

#include "uilib/element.h"
#include "uilib/widgets/texture_image.h"

class CUILibImage : public CUILibElement {
 public:
  CUILibImage(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  ~CUILibImage() override;
  const char* KindName() const override { return "CUILibImage"; }

  void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) override;

  bool HasImage() const { return image_ != nullptr; }

 private:
  uilib::TextureImagePtr image_;
};
