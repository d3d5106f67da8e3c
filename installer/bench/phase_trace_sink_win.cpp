#include "phase_trace_sink_win.h"

#include <windows.h>

#include <cstdio>
#include <mutex>

#include "bench_report_win.h"
#include "velko/installer/phase_trace.h"

namespace velko::installer::bench {
namespace {

HANDLE g_trace_file = INVALID_HANDLE_VALUE;
std::mutex g_trace_mutex;

// Each mark: when it happened, then the marking thread's and the whole
// process's CPU time at that moment, so a phase's wall time can be set
// against the CPU its thread and the other threads used in it.
void WritePhase(const char* phase) {
  char line[400];
  const double now = MillisecondsSinceProcessStart();
  const int length = std::snprintf(line, sizeof line, "%.1f %s\n%.1f thread cpu at %s\n%.1f process cpu at %s\n",
                                   now, phase, ThreadCpuMilliseconds(), phase, CpuMilliseconds(), phase);
  if (length <= 0) return;
  // The worker thread marks phases too; lines must not interleave.
  const std::lock_guard<std::mutex> lock(g_trace_mutex);
  DWORD written = 0;
  WriteFile(g_trace_file, line, static_cast<DWORD>(length < static_cast<int>(sizeof line) ? length : sizeof line - 1),
            &written, nullptr);
}

}  // namespace

void StartPhaseTrace() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"VELKO_PHASE_TRACE", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  g_trace_file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_trace_file != INVALID_HANDLE_VALUE) SetPhaseSink(&WritePhase);
}

}  // namespace velko::installer::bench
