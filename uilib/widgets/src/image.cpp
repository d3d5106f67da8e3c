#include "uilib/widgets/image.h"

#include <tinyxml.h>

CUILibImage::CUILibImage(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib) {
  if (const char* source = Xml()->Attribute("src")) image_ = uilib::LoadTextureImage(source);
}

CUILibImage::~CUILibImage() = default;
