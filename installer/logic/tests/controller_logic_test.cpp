#include "velko/installer/controller_logic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velko::installer {
namespace {

using Cmd = ControllerCommand;
using Kind = EventHandlerKind;

TEST(CommandForClick, WelcomeHandlerKnowsEveryControlOfBothWindows) {
  EXPECT_EQ(CommandForClick(Kind::kWelcome, "install-btn"), Cmd::kBeginInstall);
  EXPECT_EQ(CommandForClick(Kind::kWelcome, "close-btn"), Cmd::kCloseInstaller);
  EXPECT_EQ(CommandForClick(Kind::kWelcome, "min-btn"), Cmd::kMinimizeWindows);
  EXPECT_EQ(CommandForClick(Kind::kWelcome, "verify-checkbox"), Cmd::kConsentChanged);
}

TEST(CommandForClick, InstallHandlerOnlyClosesAndMinimises) {
  EXPECT_EQ(CommandForClick(Kind::kInstall, "close-btn"), Cmd::kCloseInstaller);
  EXPECT_EQ(CommandForClick(Kind::kInstall, "min-btn"), Cmd::kMinimizeWindows);
  EXPECT_EQ(CommandForClick(Kind::kInstall, "install-btn"), Cmd::kNone);
  EXPECT_EQ(CommandForClick(Kind::kInstall, "verify-checkbox"), Cmd::kNone);
}

TEST(CommandForClick, IdsMatchInAnyAsciiCaseButOnlyWhole) {
  EXPECT_EQ(CommandForClick(Kind::kWelcome, "INSTALL-BTN"), Cmd::kBeginInstall);
  EXPECT_EQ(CommandForClick(Kind::kWelcome, "Verify-CheckBox"), Cmd::kConsentChanged);
  EXPECT_EQ(CommandForClick(Kind::kInstall, "Close-Btn"), Cmd::kCloseInstaller);
  EXPECT_EQ(CommandForClick(Kind::kWelcome, "install-btn "), Cmd::kNone);
  EXPECT_EQ(CommandForClick(Kind::kWelcome, "install-bt"), Cmd::kNone);
  EXPECT_EQ(CommandForClick(Kind::kWelcome, "install-progress"), Cmd::kNone);
  EXPECT_EQ(CommandForClick(Kind::kWelcome, ""), Cmd::kNone);
  EXPECT_EQ(CommandForClick(Kind::kWelcome, nullptr), Cmd::kNone);
}

TEST(EqualsIgnoringAsciiCase, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("Min-Btn", "mIN-bTN"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("min_btn", "min-btn"));  // '_' and '-' differ by 0x32, not by case
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\xA9", "\xC3\x89"));  // é / É stay distinct
  EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{"));  // 0x5B vs 0x7B: not letters
}

TEST(ProgressText, ShowsWholePercentsWithABlankBeforeTheSign) {
  EXPECT_EQ(ProgressText(0.0), L"正在安装(0 %)");
  EXPECT_EQ(ProgressText(1.0), L"正在安装(100 %)");
  EXPECT_EQ(ProgressText(1.0 / 244), L"正在安装(0 %)");     // 0.41 %
  EXPECT_EQ(ProgressText(2.0 / 244), L"正在安装(1 %)");     // 0.82 %
  EXPECT_EQ(ProgressText(243.0 / 244), L"正在安装(100 %)"); // 99.59 % rounds up
  EXPECT_EQ(ProgressText(0.994), L"正在安装(99 %)");
}

TEST(ProgressText, RoundsExactHalvesToEvenLikePrintf) {
  EXPECT_EQ(ProgressText(0.125), L"正在安装(12 %)");
  EXPECT_EQ(ProgressText(0.375), L"正在安装(38 %)");
}

TEST(ProgressText, OutOfRangeValuesAreClamped) {
  EXPECT_EQ(ProgressText(-0.2), L"正在安装(0 %)");
  EXPECT_EQ(ProgressText(7.5), L"正在安装(100 %)");
  EXPECT_EQ(ProgressText(std::numeric_limits<double>::quiet_NaN()), L"正在安装(0 %)");
  EXPECT_EQ(ProgressText(std::numeric_limits<double>::infinity()), L"正在安装(100 %)");
  EXPECT_EQ(ClampedProgress(std::numeric_limits<double>::quiet_NaN()), 0.0);
  EXPECT_EQ(ClampedProgress(0.25), 0.25);
}

}  // namespace
}  // namespace velko::installer
