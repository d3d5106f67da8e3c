#include <gtest/gtest.h>

#include "command_line.h"

namespace velko::updater {
namespace {

UpdaterCommandLine Parse(std::vector<std::wstring> switches) {
  switches.insert(switches.begin(), L"C:\\Program Files\\VelkoBrowser\\updater.exe");
  return ParseUpdaterCommandLine(switches);
}

TEST(ParseUpdaterCommandLine, NoOrUnknownSwitchMeansRegisterMode) {
  EXPECT_EQ(Parse({}).mode, UpdaterMode::kRegister);
  EXPECT_EQ(Parse({L"-task"}).mode, UpdaterMode::kRegister);
  EXPECT_EQ(Parse({L"-TASK", L"-extra", L"p", L"/Task"}).mode, UpdaterMode::kRegister);
  EXPECT_EQ(ParseUpdaterCommandLine({}).mode, UpdaterMode::kRegister);
  // The program name itself is never taken for a switch.
  EXPECT_EQ(ParseUpdaterCommandLine({L"-Task"}).mode, UpdaterMode::kRegister);
}

TEST(ParseUpdaterCommandLine, TaskAndExtractSwitches) {
  EXPECT_EQ(Parse({L"-Task"}).mode, UpdaterMode::kTask);
  const UpdaterCommandLine extract = Parse({L"-Extra", L"C:\\dl\\pkg.rar"});
  EXPECT_EQ(extract.mode, UpdaterMode::kExtract);
  EXPECT_EQ(extract.extra, L"C:\\dl\\pkg.rar");
}

TEST(ParseUpdaterCommandLine, LastSwitchWins) {
  const UpdaterCommandLine task_last = Parse({L"-Extra", L"a.rar", L"-Task"});
  EXPECT_EQ(task_last.mode, UpdaterMode::kTask);
  EXPECT_EQ(task_last.extra, L"a.rar");  // stored but unused
  const UpdaterCommandLine extract_last = Parse({L"-Task", L"-Extra", L"a.rar"});
  EXPECT_EQ(extract_last.mode, UpdaterMode::kExtract);
  EXPECT_EQ(extract_last.extra, L"a.rar");
  EXPECT_EQ(Parse({L"-Extra", L"a.rar", L"-Extra", L"b.rar"}).extra, L"b.rar");
}

TEST(ParseUpdaterCommandLine, ExtraConsumesTheNextArgumentEvenIfItLooksLikeASwitch) {
  const UpdaterCommandLine consumed = Parse({L"-Extra", L"-Task"});
  EXPECT_EQ(consumed.mode, UpdaterMode::kExtract);
  EXPECT_EQ(consumed.extra, L"-Task");
}

TEST(ParseUpdaterCommandLine, ExtraAsLastArgumentHasEmptyPath) {
  const UpdaterCommandLine last = Parse({L"-Extra", L"a.rar", L"-Extra"});
  EXPECT_EQ(last.mode, UpdaterMode::kExtract);
  EXPECT_TRUE(last.extra.empty());
}

}  // namespace
}  // namespace velko::updater
