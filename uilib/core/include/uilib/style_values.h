// The style record's plain values: what a style text says, without any GDI+
// object. Win32-free so that the style language is tested natively and fuzzed;
// the Windows side builds brushes, pens, fonts and images from these values.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace uilib {

// Exactly one meaning applies: auto, a percentage (>= 0) of the reference size,
// or fixed pixels (percent < 0 and not auto).
struct StyleLength {
  bool is_auto = false;
  float percent = -1.0f;
  float pixels = 0.0f;

  static StyleLength Auto() { return {true, -1.0f, 0.0f}; }
  static StyleLength Pixels(float px) { return {false, -1.0f, px}; }
  static StyleLength Percent(float pc) { return {false, pc, 0.0f}; }
  bool IsPercent() const { return !is_auto && percent >= 0.0f; }
  bool operator==(const StyleLength&) const = default;
};

// Margins and paddings; -1 means auto.
struct BoxEdges {
  float left = 0.0f;
  float top = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
  bool operator==(const BoxEdges&) const = default;
};

inline constexpr float kAutoEdge = -1.0f;

enum FontStyleBits : unsigned {
  kFontRegular = 0,
  kFontBold = 1,
  kFontItalic = 2,
  kFontUnderline = 4,
  kFontStrikeout = 8,
};

struct FontSpec {
  std::string family;  // UTF-8, trimmed
  int size_px = 0;
  unsigned style = kFontRegular;  // FontStyleBits
  bool operator==(const FontSpec&) const = default;
};

// The image a `background` names; resolved to a GDI+ image on Windows.
struct BackgroundImageSpec {
  enum class Source { kResource, kFile };
  Source source = Source::kResource;
  std::string reference;  // res(...) text as captured, or the file path (UTF-8 / ANSI bytes)
  bool operator==(const BackgroundImageSpec&) const = default;
};

struct BackgroundPaint {
  std::array<float, 4> slices{};  // left, top, right, bottom in source pixels
  int mode = 0;                   // 0 tile, 1 stretch
  bool present = false;
};

struct BorderSpec {
  bool has_pen = false;
  float width = 0.0f;
  std::uint32_t colour = 0xFF000000u;
};

enum class HorizontalAlign { kNear, kCenter, kFar };
enum class Cursor { kNone, kHand };
enum class Overflow { kHidden = 0, kAuto = 1, kScroll = 2 };
enum class Display { kNone = 0, kBlock = 1, kInline = 2, kInlineBlock = 3 };
enum class KeepAspect {
  kNone = 0, kCenter, kLeft, kRight, kTop, kBottom, kTopLeft, kBottomLeft, kTopRight, kBottomRight
};
enum class Position { kAbsolute = 0, kFixed = 1, kRelative = 2, kStatic = 3 };

// GDI+'s StringFormatFlagsLineLimit, the text format's only flag.
inline constexpr std::uint32_t kTextFormatLineLimit = 0x2000;

struct StyleValues {
  StyleLength width = StyleLength::Pixels(0);
  StyleLength height = StyleLength::Pixels(0);
  StyleLength left = StyleLength::Auto();
  StyleLength right = StyleLength::Auto();
  StyleLength top = StyleLength::Auto();
  StyleLength bottom = StyleLength::Auto();
  // What layout reads besides the lengths, kept beside them.
  BorderSpec border;
  BoxEdges margin;
  BoxEdges padding;
  bool float_bottom = false;
  Overflow overflow = Overflow::kHidden;
  bool overflow_scroll = false;
  Display display = Display::kInline;
  Position position = Position::kStatic;
  // `background` sets either a brush colour or an image; the other one stays.
  std::optional<std::uint32_t> background_colour;
  std::optional<BackgroundImageSpec> background_image;
  // Which of the two the latest `background` property set.
  enum class BackgroundSet { kNone, kColour, kImage } background_last = BackgroundSet::kNone;
  BackgroundPaint background_paint;
  std::optional<FontSpec> font;
  std::string style_text;
  Cursor cursor = Cursor::kNone;
  std::uint32_t color = 0xFF000000u;
  std::uint32_t hovered_color = 0xFF000000u;
  std::optional<FontSpec> hovered_font;
  HorizontalAlign text_align = HorizontalAlign::kNear;
  HorizontalAlign line_align = HorizontalAlign::kCenter;  // vertical alignment
  KeepAspect keepaspect = KeepAspect::kNone;
  bool text_shadow = false;
  bool drop_shadow = false;
  bool text_antialias = false;
};

// The properties a style text contained, in parsing order. The Windows side
// uses it to know which GDI+ objects to (re)create.
enum class StyleProperty : unsigned {
  kWidth, kLeft, kTop, kRight, kBottom, kHeight, kBackground, kBackgroundPaint, kFont,
  kCursor, kColor, kColorHovered, kFontHovered, kTextAlign, kBorder, kMargin, kPadding,
  kFloat, kOverflow, kDisplay, kKeepAspect, kDropShadow, kPosition, kTextAntiAlias,
  kTextShadow, kCount
};

class StylePropertySet {
 public:
  void Add(StyleProperty p) { bits_ |= Bit(p); }
  bool Has(StyleProperty p) const { return (bits_ & Bit(p)) != 0; }
  bool Empty() const { return bits_ == 0; }

 private:
  static std::uint32_t Bit(StyleProperty p) { return 1u << static_cast<unsigned>(p); }
  std::uint32_t bits_ = 0;
};

}  // namespace uilib
