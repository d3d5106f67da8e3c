// The library object under Windows, after UILibStartup: skins from files,
// window lookup, and destroyed windows freed by the deletion timer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime_test_support.h"
#include "uilib/library_state.h"
#include "uilib/uilib_impl.h"

namespace uilib {
namespace {

std::wstring WriteSkin(const char* name, const char* text) {
  std::filesystem::path path = std::filesystem::temp_directory_path() / name;
  std::ofstream(path, std::ios::binary) << text;
  return path.wstring();
}

TEST(LibraryObjectWineTest, SkinFilesNeedTheUilibRootInAnyCase) {
  std::unique_ptr<IUILib> lib(CreateUILib());
  std::wstring good = WriteSkin("uilib3_good_skin.xml", "<UILIB><window id='Welcome' windowstyle='WS_POPUP'/></UILIB>");
  std::wstring bad = WriteSkin("uilib3_bad_skin.xml", "<skin><window id='Welcome'/></skin>");
  ASSERT_TRUE(lib->LoadSkinFromFile(good.c_str()));
  EXPECT_NE(lib->CreateWindowById("WELCOME", nullptr, nullptr, nullptr), nullptr);
  EXPECT_FALSE(lib->LoadSkinFromFile(bad.c_str()));
  // The refused document replaced the earlier one: nothing is left to build from.
  EXPECT_EQ(lib->CreateWindowById("Welcome", nullptr, nullptr, nullptr), nullptr);
  EXPECT_FALSE(lib->LoadSkinFromFile(L"Z:\\no\\such\\skin.xml"));
  DeleteFileW(good.c_str());
  DeleteFileW(bad.c_str());
}

TEST(LibraryObjectWineTest, DestroyedWindowIsFreedWithinAboutASecond) {
  std::unique_ptr<IUILib> lib(CreateUILib());
  std::wstring skin = WriteSkin("uilib3_destroy_skin.xml", "<uilib><window id='Welcome' windowstyle='WS_POPUP'><element/></window></uilib>");
  ASSERT_TRUE(lib->LoadSkinFromFile(skin.c_str()));
  IUILibWindow* window = lib->CreateWindowById("welcome", nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  auto* object = dynamic_cast<CUILibWindow*>(window);
  lib->DestroyWindow(window);
  EXPECT_EQ(window, nullptr);
  EXPECT_TRUE(State().deletion.Contains(object));
  // The 1000 ms deletion timer of UILibStartup frees it.
  EXPECT_TRUE(test::PumpUntil([&] { return !State().deletion.Contains(object); }, 1600));
  DeleteFileW(skin.c_str());
}

}  // namespace
}  // namespace uilib
