#include "uilib/widgets/widget_state.h"

namespace uilib {

StateIndex ComputeStateIndex(bool hovered, bool left_button_down, bool disabled) {
  if (disabled) return kStateDisabled;
  if (!hovered) return kStateNormal;
  return left_button_down ? kStatePressed : kStateHovered;
}

std::uint32_t ColourForState(const std::vector<std::uint32_t>& colours, StateIndex state) {
  const size_t index = static_cast<size_t>(state);
  return index < colours.size() ? colours[index] : colours.back();
}

float ButtonFrameX(StateIndex state, float frame_width) { return static_cast<float>(state) * frame_width; }

float FallBackToLastFrame(float x, float frame_width, float image_width) {
  if (!(frame_width > 0.0f)) return x;
  while (x >= image_width && x > 0.0f) x -= frame_width;
  return x;
}

float CheckBoxFrameX(StateIndex state, bool checked, float width) {
  return static_cast<float>(state) * width + (checked ? 4.0f * width : 0.0f);
}

RepaintRect GrownRepaintRect(const RectF& rect, int scroll_offset) {
  const float top = rect.y - static_cast<float>(scroll_offset);
  return RepaintRect{TruncToInt(rect.x), TruncToInt(top), TruncToInt(rect.x + rect.w + 1.0f),
                     TruncToInt(top + rect.h + 1.0f)};
}

RepaintRect ScrolledRepaintRect(const RectF& rect, int scroll_offset) {
  const float top = rect.y - static_cast<float>(scroll_offset);
  return RepaintRect{TruncToInt(rect.x), TruncToInt(top), TruncToInt(rect.x + rect.w), TruncToInt(top + rect.h)};
}

}  // namespace uilib
