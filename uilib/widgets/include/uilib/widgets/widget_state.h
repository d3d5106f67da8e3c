// The look of the windowless button and check box in their current state: the
// state index, the frame of a texture that shows it, the colour of a colour
// list, and the rectangles of the repaint requests the kinds send. Win32-free.
#pragma once

#include <cstdint>
#include <vector>

#include "uilib/geometry.h"
#include "uilib/window_services.h"

namespace uilib {

enum StateIndex : int {
  kStateNormal = 0,
  kStateHovered = 1,
  kStatePressed = 2,
  kStateDisabled = 3,
};

// Disabled wins; pressed needs both the hover and the library-wide button flag.
StateIndex ComputeStateIndex(bool hovered, bool left_button_down, bool disabled);

// The colour listed for `state`; a list shorter than the state gives its last
// colour. The list must not be empty.
std::uint32_t ColourForState(const std::vector<std::uint32_t>& colours, StateIndex state);

// The left edge of the button frame for the state (frames side by side:
// normal, hovered, pressed, disabled).
float ButtonFrameX(StateIndex state, float frame_width);

// Steps `x` back by whole frames until it lies inside an image `image_width`
// wide, so that an image with fewer frames shows the last frame it has.
float FallBackToLastFrame(float x, float frame_width, float image_width);

// The left edge of the check box frame: four unchecked frames, then four
// checked ones, each `width` wide.
float CheckBoxFrameX(StateIndex state, bool checked, float width);

// The element's rectangle grown by one pixel to the right and bottom, moved up
// by the scroll offset, truncated: what the kinds repaint after a change.
RepaintRect GrownRepaintRect(const RectF& rect, int scroll_offset);

// The element's rectangle moved up by the scroll offset, truncated.
RepaintRect ScrolledRepaintRect(const RectF& rect, int scroll_offset);

}  // namespace uilib
