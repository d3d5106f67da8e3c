// What both benchmark programs print at their end: elapsed time since the
// process started and peak memory, one "key=value" line each, for the driver.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdio>

namespace velko::installer::bench {

// A FILETIME's 100 ns ticks.
inline unsigned long long Ticks(const FILETIME& t) {
  return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

inline double MillisecondsSinceProcessStart() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  return static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
}

// CPU time (kernel and user) of the whole process.
inline double CpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return static_cast<double>(Ticks(kernel) + Ticks(user)) / 10000.0;
}

// CPU time (kernel and user) of the calling thread.
inline double ThreadCpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  return static_cast<double>(Ticks(kernel) + Ticks(user)) / 10000.0;
}

// `entry_ms`: when the program's own code began (after Wine and the loader
// had started the process), or negative when not recorded.
inline void PrintReport(const char* program, unsigned long long files, double entry_ms = -1) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  std::printf("program=%s files=%llu elapsed_ms=%.1f cpu_ms=%.1f peak_working_set_mb=%.1f peak_private_mb=%.1f\n",
              program, files, MillisecondsSinceProcessStart(), CpuMilliseconds(),
              counters.PeakWorkingSetSize / 1048576.0, counters.PeakPagefileUsage / 1048576.0);
  if (entry_ms >= 0) std::printf("entry_ms=%.1f\n", entry_ms);
}

}  // namespace velko::installer::bench
