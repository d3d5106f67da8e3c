#include "uilib/widgets/native_control_attributes.h"


#include "uilib/text_util.h"

namespace uilib {
namespace {

struct StyleName {
  std::string_view name;
  std::uint32_t flag;
};

constexpr StyleName kStyleNames[] = {
    {"ES_READONLY", 0x800u},         {"ES_MULTILINE", 0x4u},          {"WS_VSCROLL", 0x200000u},
    {"ES_AUTOHSCROLL", 0x80u},       {"ES_SELECTIONBAR", 0x1000000u}, {"WS_CLIPSIBLINGS", 0x4000000u},
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// `.` of the item pattern matches anything but a line break.
bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

std::uint32_t ParseRichEditStyle(std::string_view names) {
  std::uint32_t style = kRichEditBaseStyle;
  while (true) {
    const size_t bar = names.find('|');
    const std::string_view name = names.substr(0, bar);
    for (const StyleName& known : kStyleNames) {
      if (EqualsIgnoreCase(name, known.name)) style |= known.flag;
    }
    if (bar == std::string_view::npos) break;
    names.remove_prefix(bar + 1);
  }
  return style;
}

std::vector<ComboItem> ParseComboItems(std::string_view data) {
  std::vector<ComboItem> items;
  while (!data.empty()) {
    const size_t semicolon = data.find(';');
    const std::string_view item = data.substr(0, semicolon);
    data = semicolon == std::string_view::npos ? std::string_view() : data.substr(semicolon + 1);

    size_t digits = 0;
    while (digits < item.size() && IsDigit(item[digits])) ++digits;
    if (digits == 0 || digits >= item.size() || item[digits] != ':' || HasLineBreak(item)) continue;
    const std::string_view rest = item.substr(digits + 1);
    const size_t comma = rest.rfind(',');
    if (comma == std::string_view::npos) continue;
    items.push_back(ComboItem{LeadingInt(item.substr(0, digits)), std::string(rest.substr(0, comma)),
                              std::string(rest.substr(comma + 1))});
  }
  return items;
}

}  // namespace uilib
