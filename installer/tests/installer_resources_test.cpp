// The installer's resources, read from this test program, which links them.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "test_support.h"
#include "velko/installer/image_codec_warmup.h"
#include "velko/installer/package_extraction.h"

namespace velko::installer {
namespace {

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);  // 2052
static_assert(kChinesePrc == 2052);

struct Bytes {
  const unsigned char* data = nullptr;
  DWORD size = 0;
};

Bytes Resource(const wchar_t* type, const wchar_t* name, WORD language) {
  HRSRC info = FindResourceExW(nullptr, type, name, language);
  if (info == nullptr) return {};
  return {static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, info))),
          SizeofResource(nullptr, info)};
}

std::uint32_t BigEndian32(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

TEST(InstallerResourcesTest, PngImagesHaveTheirSizesAndAreRgba) {
  struct Image {
    const wchar_t* name;
    std::uint32_t width, height;
  };
  const Image images[] = {{L"PNG_BACK1", 606, 330}, {L"PNG_BACK2", 606, 330},   {L"PNG_LOGO", 29, 32},
                          {L"PNG_MIN1", 48, 16},    {L"PNG_MIN2", 48, 16},      {L"PNG_CLOSE1", 48, 16},
                          {L"PNG_CLOSE2", 48, 16},  {L"PNG_INSTALL1", 520, 32}, {L"PNG_CHECK1", 105, 15},
                          {L"PNG_LOADING", 520, 3}};
  for (const Image& image : images) {
    const Bytes png = Resource(L"PNG", image.name, kChinesePrc);
    ASSERT_GT(png.size, 33u) << test::Narrow(image.name);
    EXPECT_EQ(std::memcmp(png.data, "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_EQ(std::memcmp(png.data + 12, "IHDR", 4), 0);
    EXPECT_EQ(BigEndian32(png.data + 16), image.width) << test::Narrow(image.name);
    EXPECT_EQ(BigEndian32(png.data + 20), image.height) << test::Narrow(image.name);
    EXPECT_EQ(png.data[24], 8) << "8 bits per channel";
    EXPECT_EQ(png.data[25], 6) << "RGBA";
  }
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colors, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(InstallerResourcesTest, IconGroupHasSevenThirtyTwoBitSizes) {
  const Bytes group = Resource(MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, MAKEINTRESOURCEW(107), kChinesePrc);
  ASSERT_GE(group.size, 6u);
  WORD count = 0;
  std::memcpy(&count, group.data + 4, 2);
  ASSERT_EQ(count, 7);
  const int expected[] = {256, 128, 64, 48, 32, 24, 16};
  for (int i = 0; i < 7; ++i) {
    GroupIconEntry entry;
    std::memcpy(&entry, group.data + 6 + i * sizeof entry, sizeof entry);
    EXPECT_EQ(entry.width == 0 ? 256 : entry.width, expected[i]);
    EXPECT_EQ(entry.bit_count, 32);
  }
  EXPECT_NE(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(107), IMAGE_ICON, 48, 48, 0), nullptr);
}

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* key) {
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + key;
  if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return {};
  return std::wstring(value, length > 0 ? length - 1 : 0);
}

TEST(InstallerResourcesTest, VersionBlockNamesTheInstallerInChinese) {
  const std::wstring exe = test::ExePath();
  DWORD ignored = 0;
  std::vector<BYTE> block(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  EXPECT_EQ(VersionString(block, L"FileDescription"), L"岚石浏览器安装程序");
  EXPECT_EQ(VersionString(block, L"ProductName"), L"岚石浏览器");
  DWORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  EXPECT_EQ(*translation, MAKELONG(2052, 1200));
  EXPECT_NE(FindResourceExW(nullptr, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), kChinesePrc), nullptr);
}

TEST(InstallerResourcesTest, ManifestRequiresAdministratorAndCommonControlsSix) {
  const Bytes manifest = Resource(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_NE(manifest.data, nullptr);
  const std::string text(reinterpret_cast<const char*>(manifest.data), manifest.size);
  EXPECT_NE(text.find("level=\"requireAdministrator\" uiAccess=\"false\""), std::string::npos);
  EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(text.find("processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\""),
            std::string::npos);
}

TEST(InstallerResourcesTest, PackageAndSkinAreEmbedded) {
  const Bytes package = Resource(kPackageResourceType, kPackageResourceName, kChinesePrc);
  ASSERT_NE(package.data, nullptr);
  EXPECT_EQ(std::memcmp(package.data, "Rar!\x1a\x07", 6), 0);
  const Bytes skin = Resource(L"UILIB", L"UILIB", kChinesePrc);
  if (skin.data == nullptr) GTEST_SKIP() << "the skin document is not part of the build yet";
  const std::string xml(reinterpret_cast<const char*>(skin.data), skin.size);
  EXPECT_NE(xml.find("<uilib"), std::string::npos);
  EXPECT_NE(xml.find("id=\"Welcome\""), std::string::npos);
  EXPECT_NE(xml.find("id=\"Install\""), std::string::npos);
  EXPECT_EQ(xml.find('@'), std::string::npos) << "every build-time placeholder is filled in";
}

// The start-up warm-up must really decode its picture: with broken bytes it
// would silently warm nothing and the first window would come later again.
TEST(ImageCodecWarmUpTest, DecodesItsOnePixelPicture) {
  std::thread warm([] { EXPECT_TRUE(WarmImageCodecs()); });
  warm.join();
}

}  // namespace
}  // namespace velko::installer
