// Builds without GDI+ paint nothing.
#include "uilib/element.h"

void CUILibElement::Paint(Gdiplus::Graphics*, const uilib::RectF&) {}
void CUILibElement::PaintBackground(Gdiplus::Graphics*, const uilib::RectF&) {}
void CUILibElement::PaintChildren(Gdiplus::Graphics*, const uilib::RectF&) {}
