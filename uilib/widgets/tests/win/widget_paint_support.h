// Rendering single elements into 32-bit ARGB bitmaps and comparing what they
// drew with the frames of their texture images.
#pragma once

#include <memory>
#include <string>

#include "uilib/element.h"
#include "uilib/win/gdiplus_include.h"

namespace uilib::testing {

// A bitmap cleared to transparent black with `element` painted into it (its
// own rectangle as the dirty rectangle).
std::unique_ptr<Gdiplus::Bitmap> RenderElement(CUILibElement* element, int width, int height);

Gdiplus::ARGB PixelAt(Gdiplus::Bitmap& bitmap, int x, int y);

// One of the installer's images, read from its file.
std::unique_ptr<Gdiplus::Bitmap> InstallerImage(const wchar_t* file_name);

// Sum of the channel differences between the rendered area at `dest` and the
// image area at (frame_x, 0) of the same size; fully transparent pixels
// compare by alpha only.
long FrameDifference(Gdiplus::Bitmap& rendered, const RectF& dest, Gdiplus::Bitmap& image, int frame_x);

// The index of the frame `frame_width` wide that the rendered area matches
// best, or -1 when none matches within a small rounding tolerance.
int MatchingFrame(Gdiplus::Bitmap& rendered, const RectF& dest, Gdiplus::Bitmap& image, int frame_width);

// Count of pixels with any alpha inside (or outside) a rectangle.
int OpaquePixelsIn(Gdiplus::Bitmap& bitmap, const RectF& area);
int OpaquePixelsOutside(Gdiplus::Bitmap& bitmap, const RectF& area);

// "handle::<pointer>": a reference to a client's GDI+ image.
std::string HandleRef(Gdiplus::Image* image);

}  // namespace uilib::testing
