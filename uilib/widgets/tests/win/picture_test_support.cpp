#include "picture_test_support.h"

#include <windows.h>

#include <atomic>

#include "uilib/animation.h"

namespace uilib::testing {
namespace {

std::atomic<std::uint64_t> fake_now{0};
std::uint64_t FakeNow() { return fake_now.load(); }

bool PngEncoder(CLSID* clsid) {
  UINT count = 0, size = 0;
  Gdiplus::GetImageEncodersSize(&count, &size);
  if (size == 0) return false;
  std::string buffer(size, '\0');
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, size, codecs);
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(codecs[i].MimeType) == L"image/png") {
      *clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> QuadrantPicture(int w, int h, Gdiplus::ARGB top_left, Gdiplus::ARGB top_right,
                                                 Gdiplus::ARGB bottom_left, Gdiplus::ARGB bottom_right) {
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool left = x < w / 2, top = y < h / 2;
      bitmap->SetPixel(x, y, Gdiplus::Color(top ? (left ? top_left : top_right) : (left ? bottom_left : bottom_right)));
    }
  }
  return bitmap;
}

std::unique_ptr<Gdiplus::Bitmap> SolidPicture(int w, int h, Gdiplus::ARGB colour) {
  return QuadrantPicture(w, h, colour, colour, colour, colour);
}

std::wstring SavedPng(Gdiplus::Bitmap& bitmap, const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder) + name;
  CLSID png{};
  if (!PngEncoder(&png) || bitmap.Save(path.c_str(), &png, nullptr) != Gdiplus::Ok) return L"";
  return path;
}

std::wstring TestDataFile(const wchar_t* name) { return std::wstring(L"" VELKO_WIDGET_TEST_DATA) + L"/" + name; }

FakeClock::FakeClock(std::uint64_t start_ms) {
  fake_now.store(start_ms);
  SetClockSource(&FakeNow);
}

FakeClock::~FakeClock() { SetClockSource(nullptr); }

void FakeClock::Set(std::uint64_t now_ms) { fake_now.store(now_ms); }

}  // namespace uilib::testing
