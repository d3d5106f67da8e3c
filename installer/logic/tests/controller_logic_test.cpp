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

TEST(ProgressPacer, ShowsNewValuesAtMostOncePerFrameAndTheLastOneAtOnce) {
  using Action = ProgressPacer::Action;
  ProgressPacer pacer;
  EXPECT_EQ(pacer.OnProgress(0.0, 1000).action, Action::kShowNow);  // the first one, at once
  EXPECT_EQ(pacer.OnProgress(0.0, 1001).action, Action::kNothing);  // a backlog with one value
  EXPECT_EQ(pacer.OnProgress(-1.0, 1002).action, Action::kNothing); // clamps to what is shown
  // Sooner than a frame: one timer for the rest of the frame, then nothing more.
  const ProgressPacer::Decision later = pacer.OnProgress(0.1, 1010);
  EXPECT_EQ(later.action, Action::kShowLater);
  EXPECT_EQ(later.delay_ms, ProgressPacer::kFrameMs - 10);
  EXPECT_EQ(pacer.OnProgress(0.2, 1020).action, Action::kNothing);
  // The timer: the latest value is shown once the frame is over.
  pacer.OnTimer();
  EXPECT_EQ(pacer.OnProgress(0.2, 1000 + ProgressPacer::kFrameMs).action, Action::kShowNow);
  // 100 % never waits: the window goes away right after the last file.
  EXPECT_EQ(pacer.OnProgress(1.0, 1034).action, Action::kShowNow);
  EXPECT_EQ(pacer.OnProgress(std::numeric_limits<double>::infinity(), 1035).action, Action::kNothing);
}

}  // namespace
}  // namespace velko::installer
