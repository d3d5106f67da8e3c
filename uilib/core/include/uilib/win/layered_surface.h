// The off-screen surface of a layered window: a 32-bit top-down DIB section
// selected into a memory DC, drawn with GDI+ as premultiplied ARGB (the form
// UpdateLayeredWindow expects for per-pixel alpha) and pushed to the screen
// whole. `uilibtool render` saves the same surface as a PNG.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "uilib/win/gdiplus_include.h"

class CUILibElement;

namespace uilib::win {

class LayeredSurface {
 public:
  // A surface of `width` x `height` pixels, compatible with the desktop.
  LayeredSurface(int width, int height);
  ~LayeredSurface();
  LayeredSurface(const LayeredSurface&) = delete;
  LayeredSurface& operator=(const LayeredSurface&) = delete;

  bool Ok() const { return bitmap_ != nullptr && graphics_target_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  HDC Dc() const { return dc_; }

  // Fills `update` with opaque black and paints `root` clipped to it.
  void Paint(CUILibElement* root, const RECT& update);
  // Clears the surface to transparent and draws `image` at its own size
  // from the top-left corner.
  void DrawImage(Gdiplus::Image* image);
  // Draws another surface over this one with its top-left corner at (x, y).
  void DrawSurface(const LayeredSurface& other, int x, int y);
  // UpdateLayeredWindow of the whole surface at `destination` with the
  // constant alpha `alpha` and per-pixel alpha.
  bool Push(HWND window, POINT destination, SIZE size, BYTE alpha);
  // Push that replaces only the `dirty` part of the window's picture when
  // the previous push went to the same window, place, size and alpha (the
  // rest is on the screen already, and copying all of it costs milliseconds
  // per push under Wine). An empty `dirty`, another target or a refused
  // partial push pushes the whole surface.
  bool PushPart(HWND window, POINT destination, SIZE size, BYTE alpha, const RECT& dirty);
  // How many pushes have reached the screen.
  std::uint64_t Pushes() const { return pushes_; }
  // The pixel at (x, y) as straight (not premultiplied) ARGB.
  Gdiplus::ARGB PixelAt(int x, int y) const;
  // Writes the surface as a PNG file with straight alpha. False on failure.
  bool SavePng(const std::wstring& path) const;

 private:
  int width_ = 0;
  int height_ = 0;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_bitmap_ = nullptr;
  void* bits_ = nullptr;
  std::uint64_t pushes_ = 0;
  // What the last push went to (a partial push needs the same again).
  HWND pushed_window_ = nullptr;
  POINT pushed_at_{0, 0};
  SIZE pushed_size_{0, 0};
  BYTE pushed_alpha_ = 0;
  // GDI+ view of the DIB section's pixels (premultiplied ARGB).
  std::unique_ptr<Gdiplus::Bitmap> graphics_target_;
};

// The CLSID of GDI+'s PNG encoder; false when there is none.
bool FindPngEncoder(CLSID* clsid);

}  // namespace uilib::win
