// The Win32-free arithmetic of the image and ad elements: interpolation mode
// names, aspect-preserving fitting for painting and measuring, and the source
// offset of a slide through its composite picture.
#pragma once

#include <cstdint>

#include "uilib/geometry.h"
#include "uilib/style_values.h"

namespace uilib {

// GDI+ interpolation mode of an `InterpolationMode` name (any letter case);
// bilinear (3) for none or an unknown name.
inline constexpr int kDefaultInterpolationMode = 3;
int InterpolationModeFromName(const char* name);

// `keepaspect` center and bottomleft keep the picture's proportions; every
// other value stretches it.
bool KeepsAspect(KeepAspect mode);

// The destination of a picture of picture_w x picture_h in `dest` (values
// truncated to integers), centred and shrunk to the picture's proportions
// when `keep` is set.
RectF FitPicture(const RectF& dest, float picture_w, float picture_h, bool keep);

// The content size for `auto` lengths: `width` (the present width, or the
// available one) and `height`, shrunk to the picture's proportions when
// `keep` is set; both 0 for a picture without area.
SizeF MeasurePicture(float width, float height, float picture_w, float picture_h, bool keep);

// Offset into a slide's composite picture (w x h per picture) at progress s
// for the direction (0 right, 1 left, 2 top, 3 bottom; other values 0, 0).
struct SlideOffset {
  std::uint32_t x = 0;
  std::uint32_t y = 0;
};
SlideOffset SlideSourceOffset(int direction, float s, float w, float h);

// The resting places of the old and the new picture in the composite.
struct SlidePlaces {
  PointF old_at;
  PointF new_at;
  bool wide = true;  // 2w x h; otherwise w x 2h
};
SlidePlaces SlideCompositePlaces(int direction, float w, float h);

}  // namespace uilib
