// Compile-only: the Task Scheduler 1.0 trigger record the updater fills is
// 48 bytes with the field offsets of the .job file format, in both builds.
#include <windows.h>
#include <mstask.h>

#include <cstddef>

static_assert(sizeof(TASK_TRIGGER) == 48);
static_assert(offsetof(TASK_TRIGGER, cbTriggerSize) == 0);
static_assert(offsetof(TASK_TRIGGER, wBeginYear) == 4);
static_assert(offsetof(TASK_TRIGGER, wEndYear) == 10);
static_assert(offsetof(TASK_TRIGGER, wStartHour) == 16);
static_assert(offsetof(TASK_TRIGGER, MinutesDuration) == 20);
static_assert(offsetof(TASK_TRIGGER, MinutesInterval) == 24);
static_assert(offsetof(TASK_TRIGGER, rgFlags) == 28);
static_assert(offsetof(TASK_TRIGGER, TriggerType) == 32);
static_assert(sizeof(TASK_TRIGGER::TriggerType) == 4);
static_assert(offsetof(TASK_TRIGGER, Type) == 36);
static_assert(offsetof(TASK_TRIGGER, Reserved2) == 44);
static_assert(offsetof(TASK_TRIGGER, wRandomMinutesInterval) == 46);
