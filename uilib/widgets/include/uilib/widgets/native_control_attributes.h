// Win32-free reading of the native controls' attributes: the combo box's
// `data` items and the rich edit's `windowstyle` names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace uilib {

// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | ES_SELECTIONBAR | WS_VSCROLL |
// ES_READONLY | ES_MULTILINE: the rich edit's style without `windowstyle`.
inline constexpr std::uint32_t kRichEditDefaultStyle = 0x55200804u;
// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS: where a `windowstyle` starts.
inline constexpr std::uint32_t kRichEditBaseStyle = 0x54000000u;

// The style that a `windowstyle` value gives: the base style plus the flag of
// each known name (case-insensitive, separated by `|`); unknown names add nothing.
std::uint32_t ParseRichEditStyle(std::string_view names);

// One combo box item as the skin writes it: "DATA:IMAGE,TEXT".
struct ComboItem {
  int data = 0;
  std::string image;  // an image reference
  std::string text;   // a text reference, resolved when the item is inserted
};

// The items of a `data` value: `;`-separated, each matching
// ^(\d+):(.*),(.*)$ (the image runs to the last comma). Items that do not match
// are skipped; data values too large for an int saturate at INT32_MAX.
std::vector<ComboItem> ParseComboItems(std::string_view data);

}  // namespace uilib
