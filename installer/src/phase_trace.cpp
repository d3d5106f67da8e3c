#include "velko/installer/phase_trace.h"

#include <atomic>

namespace velko::installer {
namespace {

std::atomic<PhaseSink> g_sink{nullptr};

}  // namespace

void SetPhaseSink(PhaseSink sink) { g_sink.store(sink); }

void MarkPhase(const char* phase) {
  if (PhaseSink sink = g_sink.load()) sink(phase);
}

}  // namespace velko::installer
