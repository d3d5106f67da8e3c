#include "uilib/widgets/image_fit.h"

#include <iterator>

#include "uilib/text_util.h"

namespace uilib {

int InterpolationModeFromName(const char* name) {
  static constexpr const char* kNames[] = {
      "InterpolationModeLowQuality",          "InterpolationModeHighQuality",
      "InterpolationModeBilinear",            "InterpolationModeBicubic",
      "InterpolationModeNearestNeighbor",     "InterpolationModeHighQualityBilinear",
      "InterpolationModeHighQualityBicubic"};
  if (name == nullptr) return kDefaultInterpolationMode;
  for (int i = 0; i < static_cast<int>(std::size(kNames)); ++i) {
    if (EqualsIgnoreCase(name, kNames[i])) return i + 1;
  }
  return kDefaultInterpolationMode;
}

bool KeepsAspect(KeepAspect mode) { return mode == KeepAspect::kCenter || mode == KeepAspect::kBottomLeft; }

RectF FitPicture(const RectF& dest, float picture_w, float picture_h, bool keep) {
  RectF r{static_cast<float>(static_cast<int>(dest.x)), static_cast<float>(static_cast<int>(dest.y)),
          static_cast<float>(static_cast<int>(dest.w)), static_cast<float>(static_cast<int>(dest.h))};
  if (!keep || picture_w <= 0 || picture_h <= 0 || r.h <= 0) return r;
  const float picture_ratio = picture_w / picture_h;
  if (r.w / r.h > picture_ratio) {
    const float w = r.h / picture_h * picture_w;
    r.x += (r.w - w) / 2;
    r.w = w;
  } else if (r.w / r.h < picture_ratio) {
    const float h = r.w / picture_w * picture_h;
    r.y += (r.h - h) / 2;
    r.h = h;
  }
  return r;
}

SizeF MeasurePicture(float width, float height, float picture_w, float picture_h, bool keep) {
  if (!keep) return SizeF{width, height};
  if (picture_w <= 0 || picture_h <= 0) return SizeF{0, 0};
  const float picture_ratio = picture_w / picture_h;
  // A zero height reads as an infinitely wide area, as the division gives.
  const float area_ratio = height > 0 ? width / height : (width > 0 ? picture_ratio + 1 : picture_ratio);
  if (area_ratio > picture_ratio) {
    width = height / picture_h * picture_w;
  } else if (area_ratio < picture_ratio) {
    height = width / picture_w * picture_h;
  }
  return SizeF{width, height};
}

SlideOffset SlideSourceOffset(int direction, float s, float w, float h) {
  switch (direction) {
    case 0: return {static_cast<std::uint32_t>(s * w), 0};
    case 1: return {static_cast<std::uint32_t>((1 - s) * w), 0};
    case 2: return {0, static_cast<std::uint32_t>((1 - s) * h)};
    case 3: return {0, static_cast<std::uint32_t>(s * h)};
    default: return {};
  }
}

SlidePlaces SlideCompositePlaces(int direction, float w, float h) {
  switch (direction) {
    case 0: return {{0, 0}, {w, 0}, true};
    case 1: return {{w, 0}, {0, 0}, true};
    case 2: return {{0, h}, {0, 0}, false};
    default: return {{0, 0}, {0, h}, false};
  }
}

}  // namespace uilib
