#include "uilib/widgets/text_fit.h"

#include "uilib/geometry.h"

namespace uilib {

std::wstring EllipsisText(const std::wstring& text, size_t fitted) {
  if (fitted >= text.size()) return text;
  return text.substr(0, fitted > 0 ? fitted - 1 : 0) + L"...";
}

ScrollRange LabelScrollRange(float element_height, float text_height) {
  const int height = TruncToInt(element_height);
  ScrollRange range;
  range.maximum = element_height >= text_height ? height - 1 : TruncToInt(text_height);
  range.page = height > 0 ? height : 0;
  return range;
}

}  // namespace uilib
