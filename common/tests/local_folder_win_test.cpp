// Local folders for elevated writes: the path forms refused by text, and
// junctions refused on the way (the stale-file clean-up included).
#include "velko/local_folder.h"

#include <gtest/gtest.h>

#include "velko/file_utils.h"
#include "win_test_support.h"

namespace velko {
namespace {

TEST(LocalFolder, OnlyDriveFoldersWithoutDeviceOrParentFormsPass) {
  for (const wchar_t* good : {L"C:\\x", L"d:\\Users\\A B\\AppData\\Local\\VelkoEngine", L"C:\\",
                              L"C:\\x\\", L"C:\\\u4e2d\\engine"}) {
    EXPECT_TRUE(IsLocalDrivePath(good)) << good;
  }
  for (const wchar_t* bad :
       {L"\\\\host\\share", L"\\\\host\\share\\engine", L"\\\\?\\C:\\x", L"\\\\.\\C:\\x",
        L"\\??\\C:\\x", L"C:x", L"C:", L"x", L"\\x", L"C:/x", L"1:\\x", L"C:\\a\\..\\..\\b",
        L"C:\\a\\.\\b", L"C:\\x:stream", L"C:\\x\\con?", L"C:\\x\\a*", L""}) {
    EXPECT_FALSE(IsLocalDrivePath(bad)) << bad;
  }
}

class JunctionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    target_ = scratch_.Child(L"target");
    link_ = scratch_.Child(L"link");
    ASSERT_TRUE(CreateDirectoryW(target_.c_str(), nullptr));
    if (!test_support::MakeJunction(link_, target_)) {
      GTEST_SKIP() << "this file system makes no junctions";
    }
  }

  test_support::TempFolder scratch_;
  std::wstring target_;
  std::wstring link_;
};

TEST_F(JunctionTest, JunctionAnywhereOnThePathIsFound) {
  EXPECT_TRUE(HasReparsePointOnPath(link_));
  EXPECT_TRUE(HasReparsePointOnPath(link_ + L"\\engine\\xldl.dll"));
  EXPECT_FALSE(IsSafeLocalFolder(link_ + L"\\engine"));
  EXPECT_FALSE(HasReparsePointOnPath(target_ + L"\\engine"));
  EXPECT_TRUE(IsSafeLocalFolder(target_));
}

// A download folder that is a junction to another folder: that folder's old
// files are not the clean-up's business.
TEST_F(JunctionTest, StaleFileCleanUpDoesNotFollowAJunction) {
  const std::wstring victim = target_ + L"\\system_file.dll";
  ASSERT_TRUE(test_support::WriteText(victim, "x"));
  ASSERT_TRUE(test_support::SetWriteTimeFromNow(victim, -100 * 3600));
  EXPECT_EQ(CleanStaleFiles(link_), 0);
  EXPECT_TRUE(test_support::Exists(victim));
}

}  // namespace
}  // namespace velko
