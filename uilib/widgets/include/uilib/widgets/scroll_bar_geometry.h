// The arithmetic of the windowless scroll bar: its scroll and bar records
// (laid out exactly like Win32's SCROLLINFO and SCROLLBARINFO, so that clients
// exchange them byte for byte), where the thumb lies for a position, and which
// position a thumb drag asks for. Win32-free.
#pragma once

#include <cstdint>

namespace uilib {

// SCROLLINFO: size 28.
struct ScrollRecord {
  std::uint32_t size = 28;
  std::uint32_t mask = 0;
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
  std::uint32_t page = 0;
  std::int32_t position = 0;
  std::int32_t track_position = 0;
};

// SCROLLBARINFO: size 60. Thumb top and bottom are offsets from the bar's top.
struct BarRecord {
  std::uint32_t size = 60;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::int32_t line_button = 0;
  std::int32_t thumb_top = 0;
  std::int32_t thumb_bottom = 0;
  std::int32_t reserved = 0;
  std::uint32_t state[6] = {};
};

static_assert(sizeof(ScrollRecord) == 28);
static_assert(sizeof(BarRecord) == 60);

// Mask bits of the scroll record.
inline constexpr std::uint32_t kMaskRange = 1;
inline constexpr std::uint32_t kMaskPage = 2;
inline constexpr std::uint32_t kMaskPosition = 4;
inline constexpr std::uint32_t kMaskTrackPosition = 16;

// The space the bar's parts take: above the thumb's track (part 0), below it
// (part 2), and the thumb's minimum length (part 1).
struct ScrollBarParts {
  int up = 0;
  int down = 0;
  int min_thumb = 0;
};

// Copies what `from.mask` asks for into `into`; a page of 0 is stored as 1.
void ApplyScrollRecord(const ScrollRecord& from, ScrollRecord& into);

// maximum - page - minimum, as the unsigned number the thumb formulas divide
// by (0 when the bar has nothing to scroll).
std::uint32_t ScrollSpan(const ScrollRecord& record);

// The thumb's top and bottom (offsets from the bar's top) for a bar of
// `height` (its rectangle `bar_pixels` high once truncated) whose thumb was
// `previous_length` long. A zero span puts the thumb at the top of its track,
// and a thumb longer than its track (an empty range) is cut to the track.
struct ThumbExtent {
  int top = 0;
  int bottom = 0;
};
ThumbExtent ComputeThumb(const ScrollRecord& record, const ScrollBarParts& parts, float height, int bar_pixels,
                         int previous_length);

// The position a drag asks for when the pointer moved `dy` pixels since the
// press. It inverts ComputeThumb exactly: the thumb's top moves by `dy`, so a
// drag starts where the position was (no jump) whatever part 0's height and
// the minimum are. Limited to [minimum, maximum - page + 1].
int DragPosition(const ScrollRecord& at_press, const ScrollBarParts& parts, float height, int thumb_length,
                 float dy);

// Where the thumb is drawn during a drag: its top (offset from the bar's
// top) for the track position, by the same formula as ComputeThumb.
int DragThumbTop(const ScrollRecord& record, const ScrollBarParts& parts, float height, int thumb_length);

}  // namespace uilib
