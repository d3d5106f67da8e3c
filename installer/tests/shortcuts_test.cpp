#include <gtest/gtest.h>
#include <objbase.h>
#include <shobjidl.h>

#include "test_support.h"
#include "velko/installer/shortcuts.h"

namespace velko::installer {
namespace {

using test::ScratchFolder;

class ShortcutsTest : public ::testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }

  struct Link {
    std::wstring target;
    std::wstring working_folder;
    std::wstring arguments;
  };
  Link ReadLink(const std::wstring& path) {
    Link link;
    IShellLinkW* shell_link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shell_link)))) {
      return link;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH] = {};
        shell_link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        link.target = text;
        text[0] = 0;
        shell_link->GetWorkingDirectory(text, MAX_PATH);
        link.working_folder = text;
        text[0] = 0;
        shell_link->GetArguments(text, MAX_PATH);
        link.arguments = text;
      }
      file->Release();
    }
    shell_link->Release();
    return link;
  }
};

TEST_F(ShortcutsTest, ShellLinkHoldsTargetAndWorkingFolderAndIsOverwritten) {
  ScratchFolder folder(L"links");
  const std::wstring link = folder / L"岚石浏览器.lnk";
  ASSERT_TRUE(WriteShellLink(link, folder / L"old\\chrome.exe", folder / L"old"));
  ASSERT_TRUE(WriteShellLink(link, folder / L"VelkoBrowser\\chrome.exe", folder / L"VelkoBrowser"));
  const Link read = ReadLink(link);
  EXPECT_EQ(read.target, folder / L"VelkoBrowser\\chrome.exe");
  EXPECT_EQ(read.working_folder, folder / L"VelkoBrowser");
  EXPECT_EQ(read.arguments, L"");
}

// With chrome.exe present the pin is attempted; Wine's shell names no pin
// verb, so the step ends quietly. The desktop shortcut is written either way,
// even to a browser that is missing.
TEST_F(ShortcutsTest, CreateShortcutsPinsQuietlyAndAlwaysWritesTheDesktopShortcut) {
  ScratchFolder install(L"shortcuts");
  test::InstallSampleBrowser(install / L"chrome.exe");
  const ShortcutsResult with_browser = CreateShortcuts(install.path());
  ASSERT_TRUE(with_browser.pin.has_value());
  EXPECT_NE(*with_browser.pin, PinResult::kPinned);
  EXPECT_TRUE(with_browser.desktop_shortcut);
  const std::wstring link = *DesktopShortcutPath();
  EXPECT_EQ(link.substr(link.find_last_of(L'\\') + 1), L"岚石浏览器.lnk");
  EXPECT_EQ(ReadLink(link).target, install / L"chrome.exe");
  EXPECT_EQ(ReadLink(link).working_folder, install.path());

  ScratchFolder empty(L"no-browser");
  const ShortcutsResult without_browser = CreateShortcuts(empty.path());
  EXPECT_FALSE(without_browser.pin.has_value());
  EXPECT_TRUE(without_browser.desktop_shortcut);
  EXPECT_EQ(ReadLink(link).target, empty / L"chrome.exe");
  DeleteFileW(link.c_str());
}

// The walk over the folder's items: the browser is found by its name and its
// verbs are read, but a caption no verb has invokes nothing.
TEST_F(ShortcutsTest, VerbWalkFindsTheBrowserButInvokesNoUnknownVerb) {
  ScratchFolder install(L"verbs");
  test::InstallSampleBrowser(install / L"chrome.exe");
  test::WriteWholeFile(install / L"other.txt", "not the browser");
  const PinResult result = InvokeBrowserVerb(install / L"chrome.exe", L"No Such Verb &Caption");
  EXPECT_NE(result, PinResult::kPinned);
  EXPECT_NE(result, PinResult::kBrowserNotListed);

  ScratchFolder no_browser(L"no-verbs");
  test::WriteWholeFile(no_browser / L"other.txt", "not the browser");
  EXPECT_NE(InvokeBrowserVerb(no_browser / L"chrome.exe", L"x"), PinResult::kPinned);
}

}  // namespace
}  // namespace velko::installer
