#include "uilib/style.h"

#include "uilib/style_parser.h"

CUILibStyle::CUILibStyle(CUILibElement* owner) : graphics_(uilib::CreateStyleGraphics()), owner_(owner) {}

CUILibStyle::~CUILibStyle() = default;

void CUILibStyle::Parse(const char* text) {
  if (text == nullptr) return;
  uilib::StylePropertySet found = uilib::ParseStyleText(text, &values_);
  uilib::ApplyStyleGraphics(graphics_.get(), values_, found);
}
