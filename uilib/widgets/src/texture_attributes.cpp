#include "uilib/widgets/texture_attributes.h"

#include <cstdlib>
#include <string>

#include "uilib/style_parser.h"
#include "uilib/text_util.h"
#include "vregex/regex.h"

namespace uilib {
namespace {

struct TexturePatterns {
  vregex::Regex colour_list = Compile(R"(color:\((.*)\)$)");
  vregex::Regex colour = Compile(R"(color:(.*)$)");
  vregex::Regex rgb = Compile(R"(rgb\((\d+),(\d+),(\d+)\))");
  vregex::Regex argb = Compile(R"(argb\((\d+),(\d+),(\d+),(\d+)\))");
  vregex::Regex size = Compile(R"((\d+)px\s+(\d+)px)");
  vregex::Regex percent = Compile(R"(([\d\.]+)%)");

  static vregex::Regex Compile(std::string_view pattern) {
    return *vregex::Regex::Compile(pattern, vregex::kIgnoreCase);
  }
};

const TexturePatterns& Patterns() {
  static const TexturePatterns patterns;
  return patterns;
}

std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

std::uint32_t Component(const vregex::Match& m, size_t group) { return LeadingIntLow8(m.Group(group)); }

std::uint32_t RgbOf(const vregex::Match& m) { return Argb(255, Component(m, 1), Component(m, 2), Component(m, 3)); }

std::uint32_t ArgbOf(const vregex::Match& m) {
  return Argb(Component(m, 1), Component(m, 2), Component(m, 3), Component(m, 4));
}

}  // namespace

std::vector<std::uint32_t> ParseTextureColourList(std::string_view value) {
  const TexturePatterns& p = Patterns();
  vregex::Match outer;
  if (!p.colour_list.Search(value, &outer)) return {};
  const std::string_view items = outer.Group(1);
  const bool rgb = StartsWithIgnoreCase(items, "rgb");
  if (!rgb && !StartsWithIgnoreCase(items, "argb")) return {};
  std::vector<std::uint32_t> colours;
  vregex::Match m;
  size_t start = 0;
  while (start <= items.size() && (rgb ? p.rgb : p.argb).Search(items, &m, start)) {
    colours.push_back(rgb ? RgbOf(m) : ArgbOf(m));
    start = m.End(0);
  }
  return colours;
}

std::optional<std::uint32_t> ParseTextureColour(std::string_view value) {
  const TexturePatterns& p = Patterns();
  vregex::Match outer;
  if (!p.colour.Search(value, &outer)) return std::nullopt;
  const std::string_view text = outer.Group(1);
  vregex::Match m;
  if (StartsWithIgnoreCase(text, "rgb")) {
    if (p.rgb.Search(text, &m)) return RgbOf(m);
  } else if (StartsWithIgnoreCase(text, "argb")) {
    if (p.argb.Search(text, &m)) return ArgbOf(m);
  }
  return std::nullopt;
}

bool IsRemoteTexture(std::string_view value) { return StartsWithIgnoreCase(value, "http://"); }

std::string_view FirstTextureItem(std::string_view value) { return value.substr(0, value.find(';')); }

std::optional<SizeF> ParseTextureSize(std::string_view value) {
  vregex::Match m;
  if (!Patterns().size.Search(value, &m)) return std::nullopt;
  return SizeF{static_cast<float>(LeadingInt(m.Group(1))), static_cast<float>(LeadingInt(m.Group(2)))};
}

BackgroundPaint ParseTextureMargin(std::string_view value) {
  // The same grammar as the style property, so both read margins alike.
  StyleValues values;
  ParseStyleText("background-paint:" + std::string(value), &values);
  values.background_paint.present = true;
  return values.background_paint;
}

ColourMatrix GrayMatrix(float p) {
  ColourMatrix m{};
  auto at = [&m](int row, int column) -> float& { return m[static_cast<size_t>(row * 5 + column)]; };
  at(0, 0) = (1 - p) * 0.7f + 0.3f;
  at(0, 1) = at(0, 2) = p * 0.3f;
  at(1, 1) = (1 - p) * 0.41f + 0.59f;
  at(1, 0) = at(1, 2) = p * 0.59f;
  at(2, 2) = (1 - p) * 0.89f + 0.11f;
  at(2, 0) = at(2, 1) = p * 0.11f;
  at(3, 3) = at(4, 4) = 1.0f;
  return m;
}

std::vector<ColourMatrix> ParseTextureGray(std::string_view value) {
  std::vector<ColourMatrix> matrices;
  vregex::Match m;
  size_t start = 0;
  while (start <= value.size() && Patterns().percent.Search(value, &m, start)) {
    const std::string number = m.GroupString(1);
    matrices.push_back(GrayMatrix(static_cast<float>(std::atof(number.c_str()) / 100.0)));
    start = m.End(0);
  }
  while (matrices.size() < 4) matrices.push_back(GrayMatrix(1.0f));
  return matrices;
}

}  // namespace uilib
