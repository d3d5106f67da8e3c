#include "velko/engine/engine_task_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace velko::engine {
namespace {

// Reads a 32-bit integer at a byte offset, as the engine sees the record.
std::int32_t IntAt(const void* record, std::size_t offset) {
  std::int32_t value = 0;
  std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof(value));
  return value;
}

std::size_t NonZeroBytesOutside(const EngineTaskParams& params,
                                std::initializer_list<std::size_t> int_offsets) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&params);
  std::size_t count = 0;
  for (std::size_t i = 0; i < sizeof(params); ++i) {
    bool inside = false;
    for (std::size_t offset : int_offsets) inside = inside || (i >= offset && i < offset + 4);
    if (!inside && bytes[i] != 0) ++count;
  }
  return count;
}

TEST(EngineTaskParamsTest, FreshRecordIsZeroExceptTheTwoConstants) {
  const auto params = MakeEngineTaskParams();
  EXPECT_EQ(IntAt(params.get(), 18360), 5);
  EXPECT_EQ(IntAt(params.get(), 18364), 0);
  EXPECT_EQ(IntAt(params.get(), 18368), 1);
  EXPECT_EQ(NonZeroBytesOutside(*params, {18360, 18368}), 0u);
}

TEST(EngineTaskParamsTest, FillWritesUrlFolderNameAndStartFlagAtTheirOffsets) {
  auto params = MakeEngineTaskParams();
  const std::u16string url = u"http://127.0.0.1/pkg/velko_2.rar";
  const std::u16string folder = u"C:\\users\\u\\AppData\\Local\\commdl";
  ASSERT_EQ(FillDownloadTaskParams(*params, url, folder), FillTaskResult::kFilled);

  const auto* bytes = reinterpret_cast<const unsigned char*>(params.get());
  EXPECT_EQ(TaskText(reinterpret_cast<const char16_t*>(bytes + 4), kTaskUrlUnits), url);
  EXPECT_EQ(TaskText(reinterpret_cast<const char16_t*>(bytes + 17572), kTaskNameUnits), folder);
  // The engine receives the whole URL as the save name and reports its own.
  EXPECT_EQ(TaskText(reinterpret_cast<const char16_t*>(bytes + 16532), kTaskNameUnits), url);
  EXPECT_EQ(IntAt(params.get(), 18364), 1);
  EXPECT_EQ(IntAt(params.get(), 18360), 5);
  EXPECT_EQ(IntAt(params.get(), 18368), 1);
}

TEST(EngineTaskParamsTest, TextsAtTheLimitFitAndLongerOnesAreRefused) {
  auto params = MakeEngineTaskParams();
  const std::u16string longest_url(2083, u'a');
  const std::u16string longest_folder(259, u'f');
  EXPECT_EQ(FillDownloadTaskParams(*params, longest_url, longest_folder), FillTaskResult::kFilled);
  EXPECT_EQ(TaskText(params->task_url), longest_url);
  EXPECT_EQ(params->task_url[2083], u'\0');
  // The save name is cut to its field, never overruns into the next one.
  EXPECT_EQ(TaskText(params->save_file_name).size(), 259u);
  EXPECT_EQ(params->unused_name[0], u'\0');

  auto refused = MakeEngineTaskParams();
  EXPECT_EQ(FillDownloadTaskParams(*refused, std::u16string(2084, u'a'), u"C:\\d"),
            FillTaskResult::kUrlTooLong);
  EXPECT_EQ(FillDownloadTaskParams(*refused, u"http://h/a", std::u16string(260, u'f')),
            FillTaskResult::kFolderTooLong);
  EXPECT_EQ(refused->start_flag, 0);
}

TEST(EngineTaskInfoTest, PreparedRecordIsZeroWithPendingStatus) {
  EngineTaskInfo info;
  std::memset(&info, 0xAB, sizeof(info));
  PrepareEngineTaskInfo(info);
  EXPECT_EQ(IntAt(&info, 0), kTaskQueryPending);
  const auto* bytes = reinterpret_cast<const unsigned char*>(&info);
  for (std::size_t i = 4; i < sizeof(info); ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

TEST(EngineTaskInfoTest, OnlyFailedAndCompleteAreActedOn) {
  EngineTaskInfo info;
  PrepareEngineTaskInfo(info);
  EXPECT_EQ(InterpretTaskInfo(info).kind, TaskPollResult::Kind::kInProgress);
  for (std::int32_t status : {0, 3, 5, -1}) {
    info.status = status;
    EXPECT_EQ(InterpretTaskInfo(info).kind, TaskPollResult::Kind::kInProgress) << status;
  }

  info.status = kTaskFailed;
  info.failure_code = 404;
  TaskPollResult failed = InterpretTaskInfo(info);
  EXPECT_EQ(failed.kind, TaskPollResult::Kind::kFailed);
  EXPECT_EQ(failed.failure_code, 404);

  // The name is read at byte offset 8, as the engine writes it.
  PrepareEngineTaskInfo(info);
  info.status = kTaskComplete;
  const char16_t name[] = u"velko_2.rar";
  std::memcpy(reinterpret_cast<unsigned char*>(&info) + 8, name, sizeof(name));
  TaskPollResult complete = InterpretTaskInfo(info);
  EXPECT_EQ(complete.kind, TaskPollResult::Kind::kComplete);
  EXPECT_EQ(complete.file_name, u"velko_2.rar");
}

TEST(EngineTaskInfoTest, NameWithoutTerminatorStopsAtTheFieldEnd) {
  EngineTaskInfo info;
  PrepareEngineTaskInfo(info);
  info.status = kTaskComplete;
  std::u16string full(kTaskNameUnits, u'n');
  std::memcpy(reinterpret_cast<unsigned char*>(&info) + 8, full.data(), full.size() * 2);
  std::memset(reinterpret_cast<unsigned char*>(&info) + 528, 0x41, 520);  // not a NUL in sight
  EXPECT_EQ(InterpretTaskInfo(info).file_name, full);
}

TEST(EngineTaskRecordsTest, PackagePathIsSaveFolderBackslashAndReportedName) {
  auto params = MakeEngineTaskParams();
  ASSERT_EQ(FillDownloadTaskParams(*params, u"http://h/x.rar", u"C:\\data\\commdl"),
            FillTaskResult::kFilled);
  EXPECT_EQ(ComposePackagePath(*params, u"x.rar"), u"C:\\data\\commdl\\x.rar");
}

}  // namespace
}  // namespace velko::engine
