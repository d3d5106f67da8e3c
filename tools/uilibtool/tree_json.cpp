#include "tree_json.h"

#include <cstdio>
#include <string>

#include "uilib/element.h"
#include "uilib/widgets/ad.h"
#include "uilib/widgets/image.h"
#include "uilib/widgets/pages.h"
#include "uilib/widgets/scroll_bar.h"
#include "uilib/win/style_graphics.h"

namespace uilibtool {
namespace {

using json = nlohmann::ordered_json;
using namespace uilib;

std::string Hex32(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

json LengthToJson(const StyleLength& length) {
  if (length.is_auto) return {{"kind", "auto"}};
  if (length.IsPercent()) return {{"kind", "percent"}, {"value", length.percent}};
  return {{"kind", "px"}, {"value", length.pixels}};
}

json EdgesToJson(const BoxEdges& e) {
  return {{"left", e.left}, {"top", e.top}, {"right", e.right}, {"bottom", e.bottom}};
}

json FontToJson(const std::optional<FontSpec>& font, bool fallback) {
  if (!font) return nullptr;
  return {{"family", font->family},
          {"size", font->size_px},
          {"style", font->style},
          {"bold", (font->style & kFontBold) != 0},
          {"italic", (font->style & kFontItalic) != 0},
          {"underline", (font->style & kFontUnderline) != 0},
          {"strikeout", (font->style & kFontStrikeout) != 0},
          {"fallback", fallback}};
}

const char* AlignName(HorizontalAlign a) {
  switch (a) {
    case HorizontalAlign::kNear: return "near";
    case HorizontalAlign::kCenter: return "center";
    case HorizontalAlign::kFar: return "far";
  }
  return "?";
}

json BackgroundToJson(const StyleValues& v, const StyleGraphics* g) {
  json background = json::object();
  if (v.background_colour) background["colour"] = Hex32(*v.background_colour);
  if (v.background_image) {
    bool from_file = v.background_image->source == BackgroundImageSpec::Source::kFile;
    background["image"] = {{"source", from_file ? "file" : "res"},
                           {"reference", v.background_image->reference},
                           {"loaded", g != nullptr && g->background_image != nullptr}};
  }
  if (v.background_paint.present) {
    const auto& s = v.background_paint.slices;
    background["paint"] = {{"slices", {s[0], s[1], s[2], s[3]}},
                           {"mode", v.background_paint.mode == 1 ? "stretch" : "tile"}};
  }
  return background;
}

const char* const kKeepAspect[] = {"none", "center", "left", "right", "top",
                                   "bottom", "topleft", "bottomleft", "topright", "bottomright"};

// The scroll bar's two records, field by field as a client reads them.
json ScrollBarToJson(const CUILibScrollBar& bar) {
  const ScrollRecord& s = bar.Scroll();
  const BarRecord& b = bar.Bar();
  return {{"scroll",
           {{"size", s.size},
            {"mask", s.mask},
            {"minimum", s.minimum},
            {"maximum", s.maximum},
            {"page", s.page},
            {"position", s.position},
            {"track_position", s.track_position}}},
          {"bar",
           {{"size", b.size},
            {"rect", {b.left, b.top, b.right, b.bottom}},
            {"line_button", b.line_button},
            {"thumb_top", b.thumb_top},
            {"thumb_bottom", b.thumb_bottom},
            {"reserved", b.reserved},
            {"state", b.state}}},
          {"dragging", bar.IsDragging()},
          {"thumb_hovered", bar.IsThumbHovered()}};
}

// What a widget kind holds beside its attributes; null for kinds without.
json WidgetStateToJson(const CUILibElement& element) {
  if (const auto* picture = dynamic_cast<const CUILibPictureElement*>(&element)) {
    const SizeF size = picture->PictureSize();
    json state = {{"picture", picture->HasImage() ? json{{"width", size.w}, {"height", size.h}} : json()},
                  {"frames", picture->PictureFrameCount()},
                  {"interpolation", picture->InterpolationMode()},
                  {"keepaspect", kKeepAspect[static_cast<int>(element.Style().Values().keepaspect)]},
                  {"remote", picture->IsRemote()}};
    if (const auto* ad = dynamic_cast<const CUILibAd*>(&element)) state["target"] = ad->Target();
    return state;
  }
  if (const auto* bar = dynamic_cast<const CUILibScrollBar*>(&element)) return ScrollBarToJson(*bar);
  if (const auto* frame = dynamic_cast<const CUILibPageFrame*>(&element)) {
    return {{"pages", frame->PageCount()}, {"current_page", frame->CurrentIndex()}};
  }
  return nullptr;
}

}  // namespace

json StyleToJson(const CUILibStyle& style) {
  const StyleValues& v = style.Values();
  const StyleGraphics* g = style.Graphics();
  static const char* kOverflow[] = {"hidden", "auto", "scroll"};
  static const char* kDisplay[] = {"none", "block", "inline", "inline_block"};
  static const char* kPosition[] = {"absolute", "fixed", "relative", "static"};
  return {
      {"text", v.style_text},
      {"width", LengthToJson(v.width)},
      {"height", LengthToJson(v.height)},
      {"left", LengthToJson(v.left)},
      {"top", LengthToJson(v.top)},
      {"right", LengthToJson(v.right)},
      {"bottom", LengthToJson(v.bottom)},
      {"background", BackgroundToJson(v, g)},
      {"font", FontToJson(v.font, g != nullptr && g->font_fallback)},
      {"hovered_font", FontToJson(v.hovered_font, g != nullptr && g->hovered_font_fallback)},
      {"color", Hex32(v.color)},
      {"hovered_color", Hex32(v.hovered_color)},
      {"text_align", AlignName(v.text_align)},
      {"line_align", AlignName(v.line_align)},
      {"border", v.border.has_pen ? json{{"width", v.border.width}, {"colour", Hex32(v.border.colour)}} : json()},
      {"margin", EdgesToJson(v.margin)},
      {"padding", EdgesToJson(v.padding)},
      {"cursor", v.cursor == Cursor::kHand ? "hand" : "none"},
      {"float_bottom", v.float_bottom},
      {"overflow", kOverflow[static_cast<int>(v.overflow)]},
      {"display", kDisplay[static_cast<int>(v.display)]},
      {"keepaspect", kKeepAspect[static_cast<int>(v.keepaspect)]},
      {"position", kPosition[static_cast<int>(v.position)]},
      {"text_shadow", v.text_shadow},
      {"drop_shadow", v.drop_shadow},
      {"text_antialias", v.text_antialias},
  };
}

std::string JsonText(const json& document) {
  return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

json ElementTreeToJson(const CUILibElement& element) {
  json children = json::array();
  const ElementChildren& list = element.Children();
  for (const CUILibElement* child = list.First(); child != nullptr; child = list.Next(child)) {
    children.push_back(ElementTreeToJson(*child));
  }
  json node = {{"tag", element.Tag()},
               {"kind", element.KindName()},
               {"id", element.Id()},
               {"style", StyleToJson(element.Style())}};
  json state = WidgetStateToJson(element);
  if (!state.is_null()) node["state"] = std::move(state);
  node["children"] = std::move(children);
  return node;
}

}  // namespace uilibtool
