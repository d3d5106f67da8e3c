#include <gtest/gtest.h>

#include <vector>

#include "update_check.h"
#include "version_text.h"
#include "logon_trigger_time.h"

namespace velko::updater {
namespace {

struct ScriptedService {
  explicit ScriptedService(std::vector<UpdateAnswer> scripted = {}) : answers(std::move(scripted)) {}

  std::vector<UpdateAnswer> answers;
  int asked = 0;
  std::vector<std::uint32_t> waits;

  UpdateCheckResult Run() {
    return RunUpdateAttempts(
        [this] {
          const std::size_t i = static_cast<std::size_t>(asked++);
          return i < answers.size() ? answers[i] : UpdateAnswer{};
        },
        [this](std::uint32_t ms) { waits.push_back(ms); }, kMaxUpdateCheckAttempts, 120000);
  }
};

TEST(RunUpdateAttempts, AnswerOnFirstAttemptNeedsNoWait) {
  ScriptedService service({{UpdateAnswerKind::kNoUpdate, {}, {}}});
  const UpdateCheckResult result = service.Run();
  EXPECT_EQ(result.kind, UpdateAnswerKind::kNoUpdate);
  EXPECT_EQ(result.attempts, 1);
  EXPECT_TRUE(service.waits.empty());
}

TEST(RunUpdateAttempts, FailedAttemptsAreRetriedAfterTheWait) {
  ScriptedService service({{}, {}, {UpdateAnswerKind::kUpdate, "http://h/p.rar", {}}});
  const UpdateCheckResult result = service.Run();
  EXPECT_EQ(result.kind, UpdateAnswerKind::kUpdate);
  EXPECT_EQ(result.package_url, "http://h/p.rar");
  EXPECT_EQ(result.attempts, 3);
  EXPECT_EQ(service.waits, (std::vector<std::uint32_t>{120000, 120000}));
}

TEST(RunUpdateAttempts, GivesUpAfterTenAttemptsEachFollowedByAWait) {
  ScriptedService service;
  const UpdateCheckResult result = service.Run();
  EXPECT_EQ(result.kind, UpdateAnswerKind::kFailedAttempt);
  EXPECT_EQ(service.asked, 10);
  EXPECT_EQ(service.waits.size(), 10u);
}

TEST(MakeUpdateCheckUrl, AppendsThePathOnce) {
  EXPECT_EQ(MakeUpdateCheckUrl("http://127.0.0.1:18080"),
            "http://127.0.0.1:18080/velko_browser_update/getinfo");
  EXPECT_EQ(MakeUpdateCheckUrl("http://u.example/"), "http://u.example/velko_browser_update/getinfo");
}

TEST(VersionText, FormatsFixedFileVersionHalves) {
  EXPECT_EQ(FormatFileVersion((51u << 16) | 0u, (2704u << 16) | 103u), "51.0.2704.103");
  EXPECT_EQ(FormatFileVersion(0xFFFFFFFFu, 0), "65535.65535.0.0");
  EXPECT_EQ(FormatVersionQuad(6, 1, 7601, 2), "6.1.7601.2");
}

TEST(LogonTriggerTimes, StartsOneMinuteAfterNowOnToday) {
  const LogonTriggerTimes at_1059 = MakeLogonTriggerTimes({2026, 12, 9, 10, 59});
  EXPECT_EQ(at_1059.start_hour, 11);
  EXPECT_EQ(at_1059.start_minute, 0);
  EXPECT_EQ(at_1059.begin_year, 2026);
  EXPECT_EQ(at_1059.begin_month, 12);
  EXPECT_EQ(at_1059.begin_day, 9);
  EXPECT_EQ(at_1059.end_year, 2026);
  EXPECT_EQ(at_1059.end_month, 12);
  EXPECT_EQ(at_1059.end_day, 9);
  const LogonTriggerTimes at_2359 = MakeLogonTriggerTimes({2026, 12, 31, 23, 59});
  EXPECT_EQ(at_2359.start_hour, 0);
  EXPECT_EQ(at_2359.start_minute, 0);
  EXPECT_EQ(at_2359.begin_day, 31);
}

}  // namespace
}  // namespace velko::updater
