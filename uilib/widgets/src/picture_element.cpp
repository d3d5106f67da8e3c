#include "uilib/widgets/picture_element.h"

#include <tinyxml.h>

#include "uilib/binding_ref.h"
#include "uilib/widgets/image_fit.h"
#include "uilib/widgets/texture_attributes.h"
#include "uilib/widgets/widget_state.h"

CUILibPictureElement::CUILibPictureElement(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib,
                                           uilib::ElementList& animation_list, bool repaint_on_download)
    : CUILibElement(parent, xml, lib), animation_list_(animation_list), repaint_on_download_(repaint_on_download) {
  const TiXmlElement* copy = Xml();
  if (const char* source = copy->Attribute("src")) {
    if (uilib::IsRemoteTexture(source)) {
      // Fetched at the first paint that shows the element.
      SetRemoteSource(source);
    } else {
      picture_ = uilib::LoadTextureImage(source);
    }
    if (picture_ == nullptr) {
      if (const char* placeholder = copy->Attribute("default-src")) picture_ = uilib::LoadTextureReference(placeholder);
    }
  }
  provider_ = static_cast<ImageProvider*>(uilib::FindBound(lib, copy->Attribute("img_provider")));
  interpolation_ = uilib::InterpolationModeFromName(copy->Attribute("InterpolationMode"));
}

CUILibPictureElement::~CUILibPictureElement() { animation_list_.Remove(this); }

void CUILibPictureElement::SetRemoteSource(const std::string& address) {
  remote_ = true;
  source_ = address;
}

void CUILibPictureElement::RepaintPicture() {
  if (uilib::WindowServices* services = Services()) {
    services->RequestRepaint(uilib::ScrolledRepaintRect(Rect(), ScrollOffset()));
  }
}

void CUILibPictureElement::Invalidate() { RepaintPicture(); }

void CUILibPictureElement::ReplacePicture(uilib::TextureImagePtr picture) {
  animation_list_.Remove(this);
  frame_index_ = 0;
  frame_count_ = 0;
  picture_ = std::move(picture);
}
