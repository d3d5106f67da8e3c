// Pictures made for the image, page and ad tests, and the clock seam held at
// a chosen moment.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "uilib/win/gdiplus_include.h"

namespace uilib::testing {

// A bitmap of w x h whose four quadrants have the given colours.
std::unique_ptr<Gdiplus::Bitmap> QuadrantPicture(int w, int h, Gdiplus::ARGB top_left, Gdiplus::ARGB top_right,
                                                 Gdiplus::ARGB bottom_left, Gdiplus::ARGB bottom_right);
std::unique_ptr<Gdiplus::Bitmap> SolidPicture(int w, int h, Gdiplus::ARGB colour);

// Saves the bitmap as a PNG file in the temporary folder; returns its path.
std::wstring SavedPng(Gdiplus::Bitmap& bitmap, const wchar_t* name);

// A file of the test data folder.
std::wstring TestDataFile(const wchar_t* name);

// While alive, the library's clock reads `now_ms` (changeable).
class FakeClock {
 public:
  explicit FakeClock(std::uint64_t start_ms);
  ~FakeClock();
  void Set(std::uint64_t now_ms);
};

}  // namespace uilib::testing
