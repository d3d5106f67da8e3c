#include "uilib/win/style_graphics.h"

#include <string>

#include "uilib/win/font_lookup.h"
#include "uilib/win/resource_image.h"

namespace uilib {
namespace {

constexpr Gdiplus::ARGB kMissingFileBrush = 0xFFFFFFFF;

Gdiplus::StringAlignment ToGdiplus(HorizontalAlign align) {
  switch (align) {
    case HorizontalAlign::kNear: return Gdiplus::StringAlignmentNear;
    case HorizontalAlign::kCenter: return Gdiplus::StringAlignmentCenter;
    case HorizontalAlign::kFar: return Gdiplus::StringAlignmentFar;
  }
  return Gdiplus::StringAlignmentNear;
}

// Skin file paths are narrow text in the system code page.
std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

void ApplyBackgroundImage(StyleGraphics* g, const BackgroundImageSpec& spec) {
  if (spec.source == BackgroundImageSpec::Source::kResource) {
    g->background_image = win::LoadImageRef(spec.reference);
    return;
  }
  std::wstring path = AnsiToWide(spec.reference);
  if (!path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    // A file GDI+ cannot decode keeps its status in the stored image.
    g->background_image = std::make_unique<Gdiplus::Image>(path.c_str());
  } else {
    g->background_brush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(kMissingFileBrush));
  }
}

void ApplyBackground(StyleGraphics* g, const StyleValues& v) {
  if (v.background_last == StyleValues::BackgroundSet::kImage && v.background_image) {
    ApplyBackgroundImage(g, *v.background_image);
  } else if (v.background_last == StyleValues::BackgroundSet::kColour && v.background_colour) {
    g->background_brush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(*v.background_colour));
  }
}

void ApplyBorder(StyleGraphics* g, const BorderSpec& border) {
  if (!g->border_pen) {
    g->border_pen = std::make_unique<Gdiplus::Pen>(Gdiplus::Color(border.colour), border.width);
    return;
  }
  g->border_pen->SetColor(Gdiplus::Color(border.colour));
  g->border_pen->SetWidth(border.width);
}

}  // namespace

StyleGraphics::StyleGraphics() : text_format(std::make_unique<Gdiplus::StringFormat>()) {
  text_format->SetFormatFlags(static_cast<INT>(kTextFormatLineLimit));
  text_format->SetAlignment(Gdiplus::StringAlignmentNear);
  text_format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
}

void StyleGraphicsDeleter::operator()(StyleGraphics* graphics) const { delete graphics; }

StyleGraphicsPtr CreateStyleGraphics() { return StyleGraphicsPtr(new StyleGraphics()); }

void ApplyStyleGraphics(StyleGraphics* g, const StyleValues& v, StylePropertySet found) {
  if (g == nullptr) return;
  if (found.Has(StyleProperty::kBackground)) ApplyBackground(g, v);
  if (found.Has(StyleProperty::kFont) && v.font) {
    win::StyleFont font = win::CreateStyleFont(*v.font);
    g->font = std::move(font.font);
    g->font_fallback = font.fallback;
  }
  if (found.Has(StyleProperty::kCursor) && v.cursor == Cursor::kHand) {
    g->cursor = LoadCursorW(nullptr, IDC_HAND);
  }
  if (found.Has(StyleProperty::kFontHovered) && v.hovered_font) {
    win::StyleFont font = win::CreateStyleFont(*v.hovered_font);
    g->hovered_font = std::move(font.font);
    g->hovered_font_fallback = font.fallback;
  }
  if (found.Has(StyleProperty::kTextAlign)) {
    g->text_format->SetAlignment(ToGdiplus(v.text_align));
    g->text_format->SetLineAlignment(ToGdiplus(v.line_align));
  }
  if (found.Has(StyleProperty::kBorder)) ApplyBorder(g, v.border);
}

}  // namespace uilib
