// The style language on arbitrary text: every property pattern, every value
// conversion, and the resource-reference grammar. Checks the record's invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "uilib/resource_ref.h"
#include "uilib/style_parser.h"

namespace {

void CheckLength(const uilib::StyleLength& length) {
  // Exactly one meaning: auto, a percentage, or pixels.
  if (length.is_auto && length.percent >= 0.0f) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  uilib::StyleValues values;
  uilib::ParseStyleText(text, &values);
  if (values.style_text != text) std::abort();
  for (const auto* length : {&values.width, &values.height, &values.left, &values.right, &values.top,
                             &values.bottom}) {
    CheckLength(*length);
  }
  // Parsing the same text again over the record changes nothing.
  uilib::StyleValues again = values;
  uilib::ParseStyleText(values.style_text, &again);
  if (!(again.width == values.width && again.margin == values.margin && again.font == values.font &&
        again.color == values.color && again.border.colour == values.border.colour)) {
    std::abort();
  }
  uilib::ParseFontValue(text);
  uilib::ParseBoxEdgesValue(text);
  uilib::ParseColourValue(text);
  uilib::ParseResourceRef(text);
  return 0;
}
