// The engine package the build makes for the test update service must pass
// the updater's own checks: its configuration parses, and the files unpacked
// from its ZIP have the CRC-32s the configuration lists.
#include <gtest/gtest.h>

#include "engine_storage.h"
#include "read_file_win.h"
#include "unzip_to_folder.h"
#include "velko/engine/down_wrapper.h"
#include "win_test_support.h"

namespace velko::bootstrap {
namespace {

TEST(DistPackageTest, UnpackedPackageMatchesItsConfiguration) {
  const std::wstring dist = test_support::ExecutableFolder() + L"\\dist";
  const auto config = test_support::ReadWholeFile(dist + L"\\cfg.xml");
  const auto package = test_support::ReadWholeFile(dist + L"\\engine.zip");
  ASSERT_TRUE(config.has_value());
  ASSERT_TRUE(package.has_value());

  std::unique_ptr<EngineStorage> storage = ParseEngineStorage(*config);
  ASSERT_NE(storage, nullptr);
  EXPECT_EQ(storage->package_url.substr(storage->package_url.size() - 14), L"/xl/engine.zip");
  EXPECT_EQ(storage->files.count(L"xldl.dll"), 1u);

  test_support::TempFolder temp;
  storage->save_base = temp.path();  // keep the user's folders out of the test
  EXPECT_FALSE(VerifyEngineFiles(storage.get()));
  ASSERT_TRUE(UnzipToFolder(package->data(), package->size(), storage->save_base).ok());
  EXPECT_TRUE(VerifyEngineFiles(storage.get()));

  // And the unpacked engine is a loadable one.
  engine::DownWrapper wrapper(EngineLibraryPath(*storage));
  EXPECT_EQ(wrapper.ResolvedEntryPointCount(), 17);
}

}  // namespace
}  // namespace velko::bootstrap
