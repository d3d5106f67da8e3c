#include "logon_trigger_time.h"

namespace velko::updater {

LogonTriggerTimes MakeLogonTriggerTimes(const LocalDateTime& now) {
  LogonTriggerTimes times;
  times.begin_year = times.end_year = now.year;
  times.begin_month = times.end_month = now.month;
  times.begin_day = times.end_day = now.day;
  const unsigned minutes_of_day = (now.hour * 60u + now.minute + 1u) % (24u * 60u);
  times.start_hour = static_cast<std::uint16_t>(minutes_of_day / 60u);
  times.start_minute = static_cast<std::uint16_t>(minutes_of_day % 60u);
  return times;
}

}  // namespace velko::updater
