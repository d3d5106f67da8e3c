// Text elements: the label, whose text clients replace through IUILibLabel,
// and the anchor (hyperlink) with its hovered look, hand cursor and ellipsis.
// Painting is in win/label_paint.cpp and win/anchor_paint.cpp.
#pragma once

#include <string>

#include "uilib/element.h"
#include "uilib/iuilib_kinds.h"

class CUILibLabel : public CUILibElement, public IUILibLabel {
 public:
  CUILibLabel(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  const char* KindName() const override { return "CUILibLabel"; }

  // The base layout; then a linked scroll bar gets the range and page of the
  // text at the element's width (without redrawing).
  void Layout(const uilib::RectF& area, Gdiplus::Graphics* graphics, uilib::RectF* out) override;
  // Background, then the text in one of three modes: an anti-aliased path
  // clipped to the element (`text-anti-ailas`), the same path unclipped
  // (`text-shadow`), or a string clipped to the element.
  void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) override;
  // The text's bounding box at the available size, rounded up to whole pixels.
  int MeasureContent(Gdiplus::Graphics* graphics, uilib::SizeF* size, const uilib::SizeF& avail) override;

  // IUILibLabel. Null clears the text.
  void SetText(const wchar_t* text) override;

  const std::wstring& Text() const { return text_; }

 private:
  // Range and page of the linked scroll bar for the current text.
  void UpdateLinkedScrollBar(Gdiplus::Graphics* graphics, bool redraw);

  std::wstring text_;
};

class CUILibAnchor : public CUILibElement {
 public:
  CUILibAnchor(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  const char* KindName() const override { return "CUILibAnchor"; }

  // The text (shortened with "..." when it does not fit) in the normal or
  // hovered font and colour; no clipping.
  void Paint(Gdiplus::Graphics* graphics, const uilib::RectF& clip) override;
  // Repaints (grown by a pixel) and asks for the leave notification, then
  // fires onmouseover; the window keeps the hover only when a handler took it,
  // so it repeats the enter while the pointer moves over the anchor.
  int OnMouseEnter() override;
  // Repaints the normal look, then the base behaviour (onmouseout).
  int OnMouseLeave() override;
  // The window's enter and leave calls keep the hovered flag.
  void UpdateHover() override {}
  // The text's bounding box with the normal font, unrounded.
  int MeasureContent(Gdiplus::Graphics* graphics, uilib::SizeF* size, const uilib::SizeF& avail) override;
  // Always the hand cursor, whatever the style says.
  uilib::Cursor CursorKind() const override { return uilib::Cursor::kHand; }

  const std::wstring& Text() const { return text_; }

 private:
  std::wstring text_;
};
