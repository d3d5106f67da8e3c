#include "uilib/win/font_lookup.h"

#include <cstdio>
#include <vector>

#include "uilib/text_util.h"

namespace uilib::win {
namespace {

constexpr wchar_t kFallbackFamily[] = L"宋体";
constexpr int kDefaultFontSizePx = 12;

struct InstalledFamilies {
  Gdiplus::InstalledFontCollection collection;
  std::unique_ptr<Gdiplus::FontFamily[]> families;  // FontFamily cannot be copied or moved
  std::vector<std::wstring> names;
};

// Enumerated once; intentionally never freed (fonts may outlive static
// destruction order, and the set of families is process-wide).
//
// Under Wine, every name listed under HKCU\Software\Wine\Fonts\Replacements
// (our test prefixes map 微软雅黑, Microsoft YaHei, 宋体, SimSun, 新宋体, NSimSun,
// 黑体 and SimHei to "WenQuanYi Micro Hei") is enumerated as an installed family
// of its own, so those names are found here without the fallback. Wine's
// bundled faces (Tahoma, for one) are not in the enumeration.
const InstalledFamilies& Families() {
  static const InstalledFamilies* families = [] {
    auto* result = new InstalledFamilies();
    INT count = result->collection.GetFamilyCount();
    if (count <= 0) return result;
    result->families.reset(new Gdiplus::FontFamily[static_cast<size_t>(count)]);
    INT found = 0;
    result->collection.GetFamilies(count, result->families.get(), &found);
    for (INT i = 0; i < found; ++i) {
      WCHAR name[LF_FACESIZE] = {};
      result->families[static_cast<size_t>(i)].GetFamilyName(name);
      result->names.emplace_back(name);
    }
    return result;
  }();
  return *families;
}

bool EqualsIgnoreCaseWide(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

}  // namespace

const Gdiplus::FontFamily* FindInstalledFamily(const std::wstring& name) {
  const InstalledFamilies& installed = Families();
  for (size_t i = 0; i < installed.names.size(); ++i) {
    if (EqualsIgnoreCaseWide(installed.names[i], name)) return &installed.families[i];
  }
  return nullptr;
}

StyleFont CreateStyleFont(const FontSpec& spec) {
  auto size = static_cast<Gdiplus::REAL>(spec.size_px);
  auto style = static_cast<INT>(spec.style);
  if (const Gdiplus::FontFamily* family = FindInstalledFamily(Utf8ToWide(spec.family))) {
    return {std::make_unique<Gdiplus::Font>(family, size, style, Gdiplus::UnitPixel), false};
  }
  std::printf("字体[%s]不存在，使用仿宋体\n", spec.family.c_str());
  std::fflush(stdout);
  return {std::make_unique<Gdiplus::Font>(kFallbackFamily, size, style, Gdiplus::UnitPixel), true};
}

Gdiplus::Font* DefaultFont() {
  static Gdiplus::Font* font =
      new Gdiplus::Font(kFallbackFamily, static_cast<Gdiplus::REAL>(kDefaultFontSizePx), Gdiplus::FontStyleRegular,
                        Gdiplus::UnitPixel);
  return font;
}

}  // namespace uilib::win
