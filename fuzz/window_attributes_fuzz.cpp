// Window attribute reading on arbitrary text: the first bytes choose a work
// area and whether a default rectangle is passed, the rest is the attribute
// text of a `window` element (and, on its own, the value parsers' input).
// The reading and the placement must neither crash nor overflow.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tinyxml.h>

#include "uilib/window_attributes.h"
#include "velko/tinyxml_text.h"

namespace {

int WorkExtent(std::uint8_t low, std::uint8_t high) { return (high << 8 | low) * 8; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const uilib::WorkArea work{0, 0, WorkExtent(data[0], data[1]), WorkExtent(data[2], data[3])};
  const bool pass_default = (data[4] & 1) != 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 5), size - 5);

  uilib::ParseRectAttribute(text);
  uilib::ParseBorderOffset(text);
  uilib::WindowStyleFromNames(text);
  uilib::ExWindowStyleFromNames(text);
  uilib::AlignFromNames(text);

  // Parsed as the library parses skins: a padded buffer, the encoding taken
  // from the text (a UTF-8 declaration inside it switches TinyXML to UTF-8).
  TiXmlDocument document;
  const std::string xml = velko::TinyXmlParseBuffer("<window " + std::string(text) + "/>");
  document.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
  const TiXmlElement* window = document.RootElement();
  if (window == nullptr) return 0;
  const uilib::WindowAttributes attributes = uilib::ReadWindowAttributes(*window);
  if (!attributes.geometry_valid) return 0;
  const uilib::WindowRect default_rect{10, 20, 300, 400};
  const uilib::WindowRect rect =
      uilib::ComputeWindowRect(attributes, work, pass_default ? &default_rect : nullptr);
  (void)rect.Width();
  (void)rect.Height();
  return 0;
}
