#include "scheduled_task.h"

#include <mstask.h>

#include <optional>
#include <string>

#include "velko/com_ref.h"
#include "current_user.h"
#include "logon_trigger_time.h"

namespace velko::updater {
namespace {

static_assert(sizeof(TASK_TRIGGER) == 48, "Task Scheduler 1.0 trigger record");

constexpr DWORD kTaskFlags = TASK_FLAG_RUN_ONLY_IF_LOGGED_ON |              // 0x2000
                             TASK_FLAG_RUN_IF_CONNECTED_TO_INTERNET;        // 0x0400
static_assert(kTaskFlags == 0x2400);

constexpr DWORD kModulePathChars = 1000;

bool CreateScheduler(ComRef<ITaskScheduler>& scheduler) {
  return SUCCEEDED(::CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_ALL,
                                      IID_ITaskScheduler, scheduler.ReceiveVoid()));
}

// The running executable, or nothing when the path does not fit (a cut path
// would register some other program).
std::optional<std::wstring> ModulePath(HINSTANCE instance) {
  wchar_t path[kModulePathChars] = {};
  const DWORD length = ::GetModuleFileNameW(instance, path, kModulePathChars);
  if (length == 0 || length >= kModulePathChars) {
    return std::nullopt;
  }
  return std::wstring(path, length);
}

TASK_TRIGGER MakeLogonTrigger() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  const LogonTriggerTimes times =
      MakeLogonTriggerTimes({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute});
  TASK_TRIGGER trigger{};
  trigger.cbTriggerSize = sizeof(TASK_TRIGGER);
  trigger.wBeginYear = times.begin_year;
  trigger.wBeginMonth = times.begin_month;
  trigger.wBeginDay = times.begin_day;
  trigger.wEndYear = times.end_year;
  trigger.wEndMonth = times.end_month;
  trigger.wEndDay = times.end_day;
  trigger.wStartHour = times.start_hour;
  trigger.wStartMinute = times.start_minute;
  trigger.TriggerType = TASK_EVENT_TRIGGER_AT_LOGON;
  return trigger;
}

// Fills a new work item. Like the scheduler itself, individual property
// failures are not fatal: the task is still added.
void ConfigureTask(ITask* task, const std::wstring& program, const std::wstring& account) {
  task->SetApplicationName(program.c_str());
  task->SetParameters(L"-Task");
  task->SetAccountInformation(account.c_str(), nullptr);
  task->SetFlags(kTaskFlags);
  WORD trigger_index = 0;
  ComRef<ITaskTrigger> trigger;
  if (SUCCEEDED(task->CreateTrigger(&trigger_index, trigger.Receive())) && trigger) {
    TASK_TRIGGER record = MakeLogonTrigger();
    trigger->SetTrigger(&record);
  }
}

}  // namespace

int RegisterUpdateTask(HINSTANCE instance) {
  ComRef<ITaskScheduler> scheduler;
  if (!CreateScheduler(scheduler)) {
    return -1;
  }
  const std::optional<std::wstring> account = CurrentUserAccountName();
  const std::optional<std::wstring> program = ModulePath(instance);
  if (!account || !program) {
    return -1;  // the existing task stays as it was
  }
  scheduler->Delete(kUpdateTaskName);
  ComRef<ITask> task;
  if (SUCCEEDED(scheduler->NewWorkItem(kUpdateTaskName, CLSID_CTask, IID_ITask,
                                       reinterpret_cast<IUnknown**>(task.Receive()))) &&
      task) {
    ConfigureTask(task.get(), *program, *account);
    scheduler->AddWorkItem(kUpdateTaskName, task.get());
  }
  return 0;
}

void RemoveUpdateTask() {
  ComRef<ITaskScheduler> scheduler;
  if (CreateScheduler(scheduler)) {
    scheduler->Delete(kUpdateTaskName);
  }
}

}  // namespace velko::updater
