#include "uilib/text_ref.h"

#include <gtest/gtest.h>

#include "uilib/uilib_impl.h"

namespace uilib {
namespace {

class MapProvider : public IUILibTextProvider {
 public:
  void GetText(std::wstring& out, const char* key) override {
    last_key = key;
    out = std::string_view(key) == "title" ? L"Velko" : L"";
  }
  std::string last_key;
};

TEST(TextRefTest, WithoutProviderTheWholeValueIsTheText) {
  CUILibImpl lib;
  EXPECT_EQ(ResolveText(&lib, "string::title"), L"string::title");
  EXPECT_EQ(ResolveText(nullptr, "string::title"), L"string::title");
  EXPECT_EQ(ResolveText(&lib, "\xE5\xB2\x9A"), L"\u5C9A");  // UTF-8 is widened
}

TEST(TextRefTest, ProviderServesPrefixedKeysInAnyCase) {
  CUILibImpl lib;
  MapProvider provider;
  lib.SetTextProvider(&provider);
  EXPECT_EQ(ResolveText(&lib, "STRING::title"), L"Velko");
  EXPECT_EQ(provider.last_key, "title");
  EXPECT_EQ(ResolveText(&lib, "string::"), L"");
  EXPECT_EQ(provider.last_key, "");
  // Values without the prefix never reach the provider.
  EXPECT_EQ(ResolveText(&lib, "plain string::x"), L"plain string::x");
  EXPECT_EQ(provider.last_key, "");
}

}  // namespace
}  // namespace uilib
