#include "sample_provider.h"

#include <memory>

#include "uilib/uilib_impl.h"
#include "uilib/widgets/picture_element.h"
#include "uilib/win/gdiplus_include.h"

namespace uilibtool {
namespace {

class QuadrantPictures : public ImageProvider {
 public:
  void ProvideImage(const char*, int width, int height, Gdiplus::Image** out) override {
    if (out == nullptr) return;
    *out = nullptr;
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return;
    if (!picture_ || static_cast<int>(picture_->GetWidth()) != width ||
        static_cast<int>(picture_->GetHeight()) != height) {
      picture_ = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
      Gdiplus::Graphics graphics(picture_.get());
      const Gdiplus::Color colours[] = {Gdiplus::Color(255, 220, 60, 60), Gdiplus::Color(255, 60, 180, 60),
                                        Gdiplus::Color(255, 60, 60, 220), Gdiplus::Color(255, 230, 200, 40)};
      for (int q = 0; q < 4; ++q) {
        Gdiplus::SolidBrush brush(colours[q]);
        graphics.FillRectangle(&brush, (q % 2) * width / 2, (q / 2) * height / 2, width - width / 2, height - height / 2);
      }
    }
    *out = picture_.get();
  }

 private:
  std::unique_ptr<Gdiplus::Bitmap> picture_;
};

}  // namespace

void RegisterSampleProviders(CUILibImpl& lib) {
  // Lives as long as the process: elements may ask it until the tool exits.
  static auto* pictures = new QuadrantPictures;
  lib.RegisterHandler("GalleryPictures", pictures);
}

}  // namespace uilibtool
