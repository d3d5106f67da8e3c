#pragma once
// Dates and times of the logon task's trigger, computed from the local time.

#include <cstdint>

namespace velko::updater {

struct LocalDateTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
};

struct LogonTriggerTimes {
  std::uint16_t begin_year = 0, begin_month = 0, begin_day = 0;
  std::uint16_t end_year = 0, end_month = 0, end_day = 0;
  std::uint16_t start_hour = 0, start_minute = 0;
};

// Begin and end date are today; the start time is one minute after now,
// wrapping from 23:59 to 00:00 (a logon trigger does not depend on it).
LogonTriggerTimes MakeLogonTriggerTimes(const LocalDateTime& now);

}  // namespace velko::updater
