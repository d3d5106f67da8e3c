// The decision after a completed download: postpone, hand over to a copy, or
// unpack in place, each step taken only when the earlier one did not decide.
#include "download_apply.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "self_copy.h"
#include "win_test_support.h"

namespace velko::updater {
namespace {

using test_support::TempFolder;

struct RecordedSteps {
  bool browser_running = false;
  bool copy_starts = false;
  bool extract_succeeds = true;
  std::vector<std::string> calls;

  ApplySteps Steps() {
    ApplySteps steps;
    steps.is_browser_running = [this](const std::wstring&) {
      calls.push_back("running?");
      return browser_running;
    };
    steps.start_self_copy = [this](const std::wstring& package) {
      calls.push_back("copy " + std::string(package.begin(), package.end()));
      return copy_starts;
    };
    steps.extract_in_place = [this](const std::wstring&, const std::wstring&) {
      calls.push_back("extract");
      return extract_succeeds;
    };
    return steps;
  }
};

TEST(ApplyDownloadedPackage, TakesTheFirstStepThatDecides) {
  struct Case {
    bool running;
    bool copy_starts;
    bool extract_succeeds;
    ApplyOutcome outcome;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {true, true, true, ApplyOutcome::kBrowserRunning, {"running?"}},
      {false, true, true, ApplyOutcome::kCopyStarted, {"running?", "copy p.rar"}},
      {false, false, true, ApplyOutcome::kAppliedInPlace, {"running?", "copy p.rar", "extract"}},
      // An unpacking that did not complete is never reported as applied.
      {false, false, false, ApplyOutcome::kInPlaceFailed, {"running?", "copy p.rar", "extract"}},
  };
  for (const Case& c : cases) {
    TempFolder outer;
    const std::wstring target = outer.Child(L"VelkoBrowser");
    RecordedSteps recorded{c.running, c.copy_starts, c.extract_succeeds, {}};
    EXPECT_EQ(ApplyDownloadedPackage(L"p.rar", target, recorded.Steps()), c.outcome);
    EXPECT_EQ(recorded.calls, c.calls);
    EXPECT_TRUE(test_support::IsFolder(target)) << "the target folder is created first";
  }
}

TEST(ApplyDownloadedPackage, WithoutATargetFolderNothingHappens) {
  RecordedSteps recorded;
  EXPECT_EQ(ApplyDownloadedPackage(L"p.rar", L"", recorded.Steps()), ApplyOutcome::kNoTargetFolder);
  EXPECT_TRUE(recorded.calls.empty());
}

// The C runtime's temporary names: TMP first when it names a folder, else the
// base folder; always "uper…" with ".exe" appended.
TEST(MakeSelfCopyPath, UsesTmpWhenItExistsElseTheBaseFolder) {
  TempFolder tmp;
  TempFolder base;
  wchar_t saved[1024] = {};
  const DWORD had_tmp = ::GetEnvironmentVariableW(L"TMP", saved, 1024);

  ASSERT_EQ(_wputenv_s(L"TMP", tmp.path().c_str()), 0);
  const std::optional<std::wstring> in_tmp = MakeSelfCopyPath(base.path());
  ASSERT_EQ(_wputenv_s(L"TMP", base.Child(L"missing").c_str()), 0);
  const std::optional<std::wstring> in_base = MakeSelfCopyPath(base.path());
  _wputenv_s(L"TMP", had_tmp != 0 ? saved : L"");

  ASSERT_TRUE(in_tmp && in_base);
  EXPECT_EQ(in_tmp->rfind(tmp.path() + L"\\uper", 0), 0u) << std::string(in_tmp->begin(), in_tmp->end());
  EXPECT_EQ(in_base->rfind(base.path() + L"\\uper", 0), 0u);
  EXPECT_TRUE(in_tmp->ends_with(L".exe"));
  EXPECT_TRUE(in_base->ends_with(L".exe"));
}

}  // namespace
}  // namespace velko::updater
