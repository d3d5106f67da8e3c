#include "uilib/window_attributes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <tinyxml.h>
#include <utility>

#include "uilib/error.h"
#include "uilib/text_util.h"
#include "vregex/regex.h"

namespace uilib {
namespace {

using NameValue = std::pair<const char*, std::uint32_t>;

// The Windows SDK's values of the window-style constants.
constexpr std::array<NameValue, 23> kStyleNames{{
    {"WS_POPUP", 0x80000000u},      {"WS_CHILD", 0x40000000u},       {"WS_MINIMIZE", 0x20000000u},
    {"WS_VISIBLE", 0x10000000u},    {"WS_DISABLED", 0x08000000u},    {"WS_CLIPSIBLINGS", 0x04000000u},
    {"WS_CLIPCHILDREN", 0x02000000u}, {"WS_MAXIMIZE", 0x01000000u},  {"WS_CAPTION", 0x00C00000u},
    {"WS_BORDER", 0x00800000u},     {"WS_VSCROLL", 0x00200000u},     {"WS_HSCROLL", 0x00100000u},
    {"WS_SYSMENU", 0x00080000u},    {"WS_THICKFRAME", 0x00040000u},  {"WS_GROUP", 0x00020000u},
    {"WS_TABSTOP", 0x00010000u},    {"WS_MINIMIZEBOX", 0x00020000u}, {"WS_MAXIMIZEBOX", 0x00010000u},
    {"WS_TILED", 0x00000000u},      {"WS_ICONIC", 0x20000000u},      {"WS_SIZEBOX", 0x00040000u},
    {"WS_TILEDWINDOW", 0x00CF0000u}, {"WS_OVERLAPPEDWINDOW", 0x00CF0000u},
}};

// The Windows SDK's values of the extended-style constants.
constexpr std::array<NameValue, 23> kExStyleNames{{
    {"WS_EX_DLGMODALFRAME", 0x00000001u}, {"WS_EX_NOPARENTNOTIFY", 0x00000004u},
    {"WS_EX_TOPMOST", 0x00000008u},       {"WS_EX_ACCEPTFILES", 0x00000010u},
    {"WS_EX_TRANSPARENT", 0x00000020u},   {"WS_EX_MDICHILD", 0x00000040u},
    {"WS_EX_TOOLWINDOW", 0x00000080u},    {"WS_EX_WINDOWEDGE", 0x00000100u},
    {"WS_EX_CLIENTEDGE", 0x00000200u},    {"WS_EX_CONTEXTHELP", 0x00000400u},
    {"WS_EX_RIGHT", 0x00001000u},         {"WS_EX_LEFT", 0x00000000u},
    {"WS_EX_RTLREADING", 0x00002000u},    {"WS_EX_LEFTSCROLLBAR", 0x00004000u},
    {"WS_EX_RIGHTSCROLLBAR", 0x00000000u}, {"WS_EX_CONTROLPARENT", 0x00010000u},
    {"WS_EX_STATICEDGE", 0x00020000u},    {"WS_EX_APPWINDOW", 0x00040000u},
    {"WS_EX_LAYERED", 0x00080000u},       {"WS_EX_NOINHERITLAYOUT", 0x00100000u},
    {"WS_EX_LAYOUTRTL", 0x00400000u},     {"WS_EX_COMPOSITED", 0x02000000u},
    {"WS_EX_NOACTIVATE", 0x08000000u},
}};

constexpr std::array<NameValue, 4> kAlignNames{{
    {"CENTER", kAlignCenter}, {"VCENTER", kAlignVCenter}, {"BOTTOM", kAlignBottom}, {"RIGHT", kAlignRight},
}};

template <size_t N>
std::uint32_t OrOfNames(std::string_view names, const std::array<NameValue, N>& table) {
  std::uint32_t value = 0;
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find('|', start);
    if (end == std::string_view::npos) end = names.size();
    const std::string_view piece = names.substr(start, end - start);
    for (const auto& [name, bits] : table) {
      if (EqualsIgnoreCase(piece, name)) value |= bits;
    }
    start = end + 1;
  }
  return value;
}

// One of the fixed patterns below; they always compile.
vregex::Regex CompileFixed(const char* pattern) {
  auto compiled = vregex::Regex::Compile(pattern);
  if (!compiled) AtlThrow(kEFail);
  return std::move(*compiled);
}

const vregex::Regex& RectPattern() {
  static const vregex::Regex pattern = CompileFixed(R"(\d+ \d+ \d+ \d+)");
  return pattern;
}

const vregex::Regex& PairPattern() {
  static const vregex::Regex pattern = CompileFixed(R"(\d+ \d+)");
  return pattern;
}

bool IsTrue(std::string_view value) { return EqualsIgnoreCase(value, "true"); }
bool IsFalse(std::string_view value) { return EqualsIgnoreCase(value, "false"); }

// A "true"/"false" switch; other values leave `flag` as it is.
void ReadSwitch(std::string_view value, bool* flag) {
  if (IsTrue(value)) *flag = true;
  if (IsFalse(value)) *flag = false;
}

// The TinyXML integer query of an attribute: false when it is not an integer.
bool ReadInt(const TiXmlAttribute& attribute, int* out) {
  int value = 0;
  if (attribute.QueryIntValue(&value) != TIXML_SUCCESS) return false;
  *out = value;
  return true;
}

// Reads `width`, `height`, `left`, `top`, `right` or `bottom`; false for
// any other attribute.
bool ReadGeometry(const TiXmlAttribute& attribute, std::string_view name, WindowAttributes& out) {
  struct Target {
    const char* name;
    int* plain;
    std::optional<int>* optional;
  };
  const std::array<Target, 6> targets{{{"width", &out.width, nullptr},
                                       {"height", &out.height, nullptr},
                                       {"left", nullptr, &out.left},
                                       {"top", nullptr, &out.top},
                                       {"right", nullptr, &out.right},
                                       {"bottom", nullptr, &out.bottom}}};
  for (const Target& target : targets) {
    if (!EqualsIgnoreCase(name, target.name)) continue;
    int value = 0;
    if (!ReadInt(attribute, &value)) {
      out.geometry_valid = false;
    } else if (target.plain != nullptr) {
      *target.plain = value;
    } else {
      *target.optional = value;
    }
    return true;
  }
  return false;
}

void ReadOne(const TiXmlAttribute& attribute, WindowAttributes& out) {
  const std::string_view name = attribute.Name();
  const std::string_view value = attribute.Value();
  if (ReadGeometry(attribute, name, out)) return;
  if (EqualsIgnoreCase(name, "align")) {
    out.align = AlignFromNames(value);
  } else if (EqualsIgnoreCase(name, "windowstyle")) {
    out.style = WindowStyleFromNames(value);
  } else if (EqualsIgnoreCase(name, "exwindowstyle")) {
    out.ex_style |= ExWindowStyleFromNames(value);
  } else if (EqualsIgnoreCase(name, "title")) {
    out.title = value;
  } else if (EqualsIgnoreCase(name, "icon")) {
    out.icon = value;
  } else if (EqualsIgnoreCase(name, "iconbig")) {
    out.icon_big = value;
  } else if (EqualsIgnoreCase(name, "minwidth")) {
    ReadInt(attribute, &out.min_width);
  } else if (EqualsIgnoreCase(name, "minheight")) {
    ReadInt(attribute, &out.min_height);
  } else if (EqualsIgnoreCase(name, "rect")) {
    if (auto rect = ParseRectAttribute(value)) out.rect = rect;
  } else if (EqualsIgnoreCase(name, "shape")) {
    if (EqualsIgnoreCase(value, "alpha")) out.alpha_shape = true;
  } else if (EqualsIgnoreCase(name, "blurbackground")) {
    if (IsTrue(value)) out.blur_behind = true;
  } else if (EqualsIgnoreCase(name, "transparent")) {
    out.ex_style |= kExStyleLayered;
    if (EqualsIgnoreCase(value, "alpha")) out.transparent_alpha = true;
  } else if (EqualsIgnoreCase(name, "use-render-thread")) {
    ReadSwitch(value, &out.use_render_thread);
  } else if (EqualsIgnoreCase(name, "buffered-paint")) {
    ReadSwitch(value, &out.buffered_paint);
  } else if (EqualsIgnoreCase(name, "shadow")) {
    ReadSwitch(value, &out.drop_shadow);
  } else if (EqualsIgnoreCase(name, "border")) {
    out.border = value;
  } else if (EqualsIgnoreCase(name, "border-offset")) {
    if (auto offset = ParseBorderOffset(value)) out.border_offset = offset;
  }
}

// Reads `count` integers as "%d" does, each after optional white space: a
// sign and digits. False when one is missing or does not fit in an int.
bool ReadLeadingInts(std::string_view text, int* const* out, size_t count) {
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  for (size_t i = 0; i < count; ++i) {
    while (at != end && std::isspace(static_cast<unsigned char>(*at))) ++at;
    // "%d" takes one sign; from_chars takes only '-'.
    if (at + 1 < end && *at == '+' && at[1] != '-') ++at;
    const auto [next, error] = std::from_chars(at, end, *out[i]);
    if (error != std::errc()) return false;
    at = next;
  }
  return true;
}

// Window coordinates stay within half the int range, so that a width or a
// height (the difference of two of them) is always an int.
constexpr std::int64_t kCoordinateLimit = std::numeric_limits<int>::max() / 2;

int ClampCoordinate(std::int64_t value) {
  return static_cast<int>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

WindowRect Clamped(const WindowRect& r) {
  return WindowRect{ClampCoordinate(r.left), ClampCoordinate(r.top), ClampCoordinate(r.right),
                    ClampCoordinate(r.bottom)};
}

// Placement along one axis of the work area of extent `work`, in 64 bits:
// the attributes may hold any int.
std::int64_t PlaceOnAxis(std::int64_t size, std::int64_t work, bool centre, bool far_edge,
                         const std::optional<int>& near_offset, const std::optional<int>& far_offset) {
  if (centre) return (work - size) / 2;
  if (far_edge) return work - size;
  if (near_offset) return *near_offset;
  if (far_offset) return work - *far_offset - size;
  return 0;
}

}  // namespace

std::uint32_t WindowStyleFromNames(std::string_view names) { return OrOfNames(names, kStyleNames); }
std::uint32_t ExWindowStyleFromNames(std::string_view names) { return OrOfNames(names, kExStyleNames); }
unsigned AlignFromNames(std::string_view names) { return OrOfNames(names, kAlignNames); }

std::optional<WindowRect> ParseRectAttribute(std::string_view text) {
  if (!RectPattern().Search(text)) return std::nullopt;
  WindowRect rect;
  int* const fields[] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
  // The numbers must start the text, and each must be an int.
  if (!ReadLeadingInts(text, fields, 4)) return std::nullopt;
  return rect;
}

std::optional<BorderOffset> ParseBorderOffset(std::string_view text) {
  if (!PairPattern().Search(text)) return std::nullopt;
  BorderOffset offset;
  int* const fields[] = {&offset.x, &offset.y};
  if (!ReadLeadingInts(text, fields, 2)) return std::nullopt;
  return offset;
}

WindowAttributes ReadWindowAttributes(const TiXmlElement& window) {
  WindowAttributes out;
  for (const TiXmlAttribute* a = window.FirstAttribute(); a != nullptr; a = a->Next()) ReadOne(*a, out);
  return out;
}

WindowRect ComputeWindowRect(const WindowAttributes& attributes, const WorkArea& work,
                             const WindowRect* default_rect) {
  if (attributes.rect) return Clamped(*attributes.rect);
  if (default_rect != nullptr) return Clamped(*default_rect);
  const std::int64_t work_width = std::int64_t{work.right} - work.left;
  const std::int64_t work_height = std::int64_t{work.bottom} - work.top;
  const std::int64_t x = PlaceOnAxis(attributes.width, work_width, (attributes.align & kAlignCenter) != 0,
                                     (attributes.align & kAlignRight) != 0, attributes.left, attributes.right);
  const std::int64_t y = PlaceOnAxis(attributes.height, work_height, (attributes.align & kAlignVCenter) != 0,
                                     (attributes.align & kAlignBottom) != 0, attributes.top, attributes.bottom);
  return WindowRect{ClampCoordinate(x), ClampCoordinate(y), ClampCoordinate(x + attributes.width),
                    ClampCoordinate(y + attributes.height)};
}

}  // namespace uilib
