// The attributes of a `window` element that shape its native window: geometry,
// placement, styles, title, icons, minimum size, `rect`, shape, blur,
// transparency, paint paths, shadow and the decoration image. Read once, before
// the native window exists. Win32-free: the style names carry the values the
// Windows SDK gives those constants, and the geometry takes the work area as a
// value, so both are tested without Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TiXmlElement;

namespace uilib {

// A window rectangle in screen pixels (right and bottom exclusive).
struct WindowRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const WindowRect&) const = default;
};

// Keywords of `align`.
enum AlignFlags : unsigned {
  kAlignNone = 0,
  kAlignCenter = 1u << 0,
  kAlignVCenter = 1u << 1,
  kAlignBottom = 1u << 2,
  kAlignRight = 1u << 3,
};

// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN: the style of a
// window without a `windowstyle` attribute.
inline constexpr std::uint32_t kDefaultWindowStyle = 0x56000000u;
inline constexpr std::uint32_t kStylePopup = 0x80000000u;
inline constexpr std::uint32_t kStyleCaption = 0x00C00000u;  // WS_BORDER | WS_DLGFRAME
inline constexpr std::uint32_t kExStyleLayered = 0x00080000u;

// The OR of the values of the names in a "|"-separated list, compared
// case-insensitively with the 23 window-style (or extended-style) names.
// Unknown names add nothing; blanks around a name make it unknown.
std::uint32_t WindowStyleFromNames(std::string_view names);
std::uint32_t ExWindowStyleFromNames(std::string_view names);
unsigned AlignFromNames(std::string_view names);

// "L T R B": four integers separated by single blanks; nullopt otherwise,
// also when a number does not fit in an int.
std::optional<WindowRect> ParseRectAttribute(std::string_view text);
// "X Y": how far the decoration image reaches left of and above the window.
struct BorderOffset {
  int x = 0;
  int y = 0;
  bool operator==(const BorderOffset&) const = default;
};
std::optional<BorderOffset> ParseBorderOffset(std::string_view text);

struct WindowAttributes {
  // False when a geometry attribute is present but not an integer: the window
  // is then not created.
  bool geometry_valid = true;
  int width = 0;
  int height = 0;
  std::optional<int> left, top, right, bottom;
  unsigned align = kAlignNone;
  std::optional<std::uint32_t> style;  // nullopt: kDefaultWindowStyle
  std::uint32_t ex_style = 0;
  std::string title;  // a text reference
  std::string icon, icon_big;  // icon references
  int min_width = -1;
  int min_height = -1;
  std::optional<WindowRect> rect;
  bool alpha_shape = false;
  bool blur_behind = false;
  bool transparent_alpha = false;
  bool use_render_thread = true;
  bool buffered_paint = true;
  bool drop_shadow = false;
  std::string border;  // decoration image reference; empty: none
  std::optional<BorderOffset> border_offset;

  std::uint32_t EffectiveStyle() const { return style.value_or(kDefaultWindowStyle); }
  bool Layered() const { return (ex_style & kExStyleLayered) != 0; }
};

// Reads the attributes of `window` in document order; names are compared
// case-insensitively.
WindowAttributes ReadWindowAttributes(const TiXmlElement& window);

// The work area of the screen (SPI_GETWORKAREA).
struct WorkArea {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The window rectangle before it is adjusted for the styles: `rect` when
// given, else the default rectangle when one is passed, else {0, 0, width,
// height} placed in the work area by `align`, `left`/`right` and
// `top`/`bottom`. Only the work area's extent counts: its left and top are
// not added. Every coordinate is clamped to ±(INT_MAX / 2), so that the
// rectangle's width and height never overflow, whatever the attributes hold.
WindowRect ComputeWindowRect(const WindowAttributes& attributes, const WorkArea& work,
                             const WindowRect* default_rect);

}  // namespace uilib
