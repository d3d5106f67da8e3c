#include "uilib/style_parser.h"

#include <array>
#include <string>

#include "style_patterns.h"
#include "uilib/text_util.h"

namespace uilib {
namespace {

// Group 1 of the first match of `re` in `text`, if any.
std::optional<std::string_view> SearchGroup1(const vregex::Regex& re, std::string_view text) {
  vregex::Match match;
  if (!re.Search(text, &match) || !match.Matched(1)) return std::nullopt;
  return match.Group(1);
}

std::uint32_t MakeArgb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return (std::uint32_t{a} << 24) | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

float EdgeItem(std::string_view item) {
  if (EqualsIgnoreCase(item, "auto")) return kAutoEdge;
  return static_cast<float>(LeadingInt(item));
}

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// True when `word` occurs in `text` (case-insensitively) with no word character
// directly before or after it.
bool ContainsWholeWord(std::string_view text, std::string_view word) {
  for (size_t i = 0; i + word.size() <= text.size(); ++i) {
    if (!EqualsIgnoreCase(text.substr(i, word.size()), word)) continue;
    bool start_ok = i == 0 || !IsWordChar(text[i - 1]);
    size_t end = i + word.size();
    bool end_ok = end == text.size() || !IsWordChar(text[end]);
    if (start_ok && end_ok) return true;
  }
  return false;
}

template <typename Enum, size_t N>
void SetFromKeyword(std::string_view value, const std::array<const char*, N>& keywords, Enum* field) {
  for (size_t i = 0; i < N; ++i) {
    if (EqualsIgnoreCase(value, keywords[i])) {
      *field = static_cast<Enum>(i);
      return;
    }
  }
}

void ApplyBackground(std::string_view value, StyleValues* v) {
  if (StartsWithIgnoreCase(value, "res")) {
    v->background_image = BackgroundImageSpec{BackgroundImageSpec::Source::kResource, std::string(value)};
    v->background_last = StyleValues::BackgroundSet::kImage;
  } else if (StartsWithIgnoreCase(value, "file")) {
    // The path runs from just after "file('" to the last quote.
    size_t last_quote = value.rfind('\'');
    std::string path;
    if (last_quote != std::string_view::npos && last_quote > 6) path = value.substr(6, last_quote - 6);
    v->background_image = BackgroundImageSpec{BackgroundImageSpec::Source::kFile, std::move(path)};
    v->background_last = StyleValues::BackgroundSet::kImage;
  } else if (auto colour = ParseColourValue(value)) {
    v->background_colour = *colour;
    v->background_last = StyleValues::BackgroundSet::kColour;
  }
}

void ApplyBackgroundPaint(std::string_view value, StyleValues* v) {
  if (auto edges = ParseBoxEdgesValue(value)) {
    v->background_paint.slices = {edges->left, edges->top, edges->right, edges->bottom};
  }
  if (ContainsIgnoreCase(value, "TILE")) {
    v->background_paint.mode = 0;
  } else if (ContainsIgnoreCase(value, "STRETCH")) {
    v->background_paint.mode = 1;
  }
  v->background_paint.present = true;
}

void ApplyTextAlign(std::string_view value, StyleValues* v) {
  if (ContainsWholeWord(value, "left")) v->text_align = HorizontalAlign::kNear;
  if (ContainsWholeWord(value, "center")) v->text_align = HorizontalAlign::kCenter;
  if (ContainsWholeWord(value, "right")) v->text_align = HorizontalAlign::kFar;
  if (ContainsWholeWord(value, "top-center")) {
    v->line_align = HorizontalAlign::kNear;
    v->text_align = HorizontalAlign::kCenter;
  }
  if (ContainsWholeWord(value, "top-left")) {
    v->line_align = HorizontalAlign::kNear;
    v->text_align = HorizontalAlign::kNear;
  }
}

void ApplyBorder(std::string_view value, StyleValues* v) {
  const StylePatterns& p = Patterns();
  if (!v->border.has_pen) v->border = BorderSpec{true, 1.0f, 0xFF000000u};
  if (auto width = SearchGroup1(p.pixels, value)) {
    v->border.width = static_cast<float>(LeadingInt(*width));
  }
  if (auto colour = ParseColourValue(value)) v->border.colour = *colour;
}

void ApplyOverflow(std::string_view value, StyleValues* v) {
  if (EqualsIgnoreCase(value, "hidden")) {
    v->overflow = Overflow::kHidden;
  } else if (EqualsIgnoreCase(value, "auto")) {
    v->overflow = Overflow::kAuto;
  } else if (EqualsIgnoreCase(value, "scroll")) {
    v->overflow = Overflow::kScroll;
    v->overflow_scroll = true;
  }
}

// One entry per property, in the order the language processes them.
using Applier = void (*)(std::string_view value, StyleValues* v);

struct PropertyRule {
  StyleProperty property;
  Applier apply;
};

constexpr PropertyRule kRules[] = {
    {StyleProperty::kWidth, [](std::string_view s, StyleValues* v) { v->width = ParseLengthValue(s); }},
    {StyleProperty::kLeft, [](std::string_view s, StyleValues* v) { v->left = ParseLengthValue(s); }},
    {StyleProperty::kTop, [](std::string_view s, StyleValues* v) { v->top = ParseLengthValue(s); }},
    {StyleProperty::kRight, [](std::string_view s, StyleValues* v) { v->right = ParseLengthValue(s); }},
    {StyleProperty::kBottom, [](std::string_view s, StyleValues* v) { v->bottom = ParseLengthValue(s); }},
    {StyleProperty::kHeight, [](std::string_view s, StyleValues* v) { v->height = ParseLengthValue(s); }},
    {StyleProperty::kBackground, ApplyBackground},
    {StyleProperty::kBackgroundPaint, ApplyBackgroundPaint},
    {StyleProperty::kFont, [](std::string_view s, StyleValues* v) { v->font = ParseFontValue(s); }},
    {StyleProperty::kCursor,
     [](std::string_view s, StyleValues* v) {
       if (EqualsIgnoreCase(s, "hand")) v->cursor = Cursor::kHand;
     }},
    {StyleProperty::kColor,
     [](std::string_view s, StyleValues* v) {
       if (auto c = ParseColourValue(s)) v->color = *c;
     }},
    {StyleProperty::kColorHovered,
     [](std::string_view s, StyleValues* v) {
       if (auto c = ParseColourValue(s)) v->hovered_color = *c;
     }},
    {StyleProperty::kFontHovered,
     [](std::string_view s, StyleValues* v) { v->hovered_font = ParseFontValue(s); }},
    {StyleProperty::kTextAlign, ApplyTextAlign},
    {StyleProperty::kBorder, ApplyBorder},
    {StyleProperty::kMargin,
     [](std::string_view s, StyleValues* v) {
       if (auto e = ParseBoxEdgesValue(s)) v->margin = *e;
     }},
    {StyleProperty::kPadding,
     [](std::string_view s, StyleValues* v) {
       if (auto e = ParseBoxEdgesValue(s)) v->padding = *e;
     }},
    {StyleProperty::kFloat,
     [](std::string_view s, StyleValues* v) { v->float_bottom = EqualsIgnoreCase(s, "bottom"); }},
    {StyleProperty::kOverflow, ApplyOverflow},
    {StyleProperty::kDisplay,
     [](std::string_view s, StyleValues* v) {
       SetFromKeyword(s, std::array{"none", "BLOCK", "INLINE", "INLINE_BLOCK"}, &v->display);
     }},
    {StyleProperty::kKeepAspect,
     [](std::string_view s, StyleValues* v) {
       SetFromKeyword(s,
                      std::array{"none", "center", "left", "right", "top", "bottom", "topleft",
                                 "bottomleft", "topright", "bottomright"},
                      &v->keepaspect);
     }},
    {StyleProperty::kDropShadow,
     [](std::string_view s, StyleValues* v) { v->drop_shadow = EqualsIgnoreCase(s, "true"); }},
    {StyleProperty::kPosition,
     [](std::string_view s, StyleValues* v) {
       SetFromKeyword(s, std::array{"ABSOLUTE", "FIXED", "RELATIVE", "STATIC"}, &v->position);
     }},
    {StyleProperty::kTextAntiAlias, [](std::string_view, StyleValues* v) { v->text_antialias = true; }},
    {StyleProperty::kTextShadow, [](std::string_view, StyleValues* v) { v->text_shadow = true; }},
};
static_assert(std::size(kRules) == static_cast<size_t>(StyleProperty::kCount));

}  // namespace

StyleLength ParseLengthValue(std::string_view text) {
  if (EqualsIgnoreCase(text, "auto")) return StyleLength::Auto();
  if (!text.empty() && text.back() == '%') return StyleLength::Percent(LeadingFloat(text));
  return StyleLength::Pixels(LeadingFloat(text));
}

std::optional<std::uint32_t> ParseColourValue(std::string_view text) {
  const StylePatterns& p = Patterns();
  vregex::Match m;
  if (p.argb.Search(text, &m)) {
    return MakeArgb(LeadingIntLow8(m.Group(1)), LeadingIntLow8(m.Group(2)), LeadingIntLow8(m.Group(3)),
                    LeadingIntLow8(m.Group(4)));
  }
  if (p.rgb.Search(text, &m)) {
    return MakeArgb(0xFF, LeadingIntLow8(m.Group(1)), LeadingIntLow8(m.Group(2)), LeadingIntLow8(m.Group(3)));
  }
  return std::nullopt;
}

FontSpec ParseFontValue(std::string_view text) {
  FontSpec spec;
  vregex::Match m;
  if (!Patterns().font_grammar.Search(text, &m)) return spec;
  auto group = [&m](size_t i) { return TrimWhitespace(m.Group(i)); };
  if (EqualsIgnoreCase(group(4), "bold")) spec.style |= kFontBold;
  if (EqualsIgnoreCase(group(1), "italic")) spec.style |= kFontItalic;
  if (EqualsIgnoreCase(group(2), "underline")) spec.style |= kFontUnderline;
  if (EqualsIgnoreCase(group(5), "strike")) spec.style |= kFontStrikeout;
  spec.size_px = LeadingInt(group(6));
  spec.family = std::string(group(7));
  return spec;
}

std::optional<BoxEdges> ParseBoxEdgesValue(std::string_view text) {
  const StylePatterns& p = Patterns();
  vregex::Match m;
  if (p.edges4.Search(text, &m)) {
    return BoxEdges{EdgeItem(m.Group(4)), EdgeItem(m.Group(1)), EdgeItem(m.Group(2)), EdgeItem(m.Group(3))};
  }
  if (p.edges2.Search(text, &m)) {
    float vertical = EdgeItem(m.Group(1));
    float horizontal = EdgeItem(m.Group(2));
    return BoxEdges{horizontal, vertical, horizontal, vertical};
  }
  if (p.edges1.Search(text, &m)) {
    float all = EdgeItem(m.Group(1));
    return BoxEdges{all, all, all, all};
  }
  return std::nullopt;
}

StylePropertySet ParseStyleText(std::string_view text, StyleValues* values) {
  StylePropertySet found;
  // Own the text first: it may be a view of values->style_text itself.
  std::string owned(text);
  const StylePatterns& p = Patterns();
  for (size_t i = 0; i < std::size(kRules); ++i) {
    auto value = SearchGroup1(p.properties[i], owned);
    if (!value) continue;
    kRules[i].apply(*value, values);
    found.Add(kRules[i].property);
  }
  values->style_text = std::move(owned);
  return found;
}

}  // namespace uilib
