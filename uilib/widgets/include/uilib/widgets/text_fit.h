// Text arithmetic of the label and the anchor: the anchor's shortened text and
// the scroll range of a label linked to a scroll bar. Win32-free.
#pragma once

#include <cstddef>
#include <string>

namespace uilib {

// The whole text when all of it fits; otherwise its first (fitted - 1)
// characters (none when nothing fits) followed by "...".
std::wstring EllipsisText(const std::wstring& text, size_t fitted);

struct ScrollRange {
  int maximum = 0;
  int page = 0;
};

// Range and page of the scroll bar of a label `element_height` high showing a
// text `text_height` high: a text no higher than the element leaves no
// movable range (maximum = height - 1, page = height).
ScrollRange LabelScrollRange(float element_height, float text_height);

}  // namespace uilib
