// Marks for the install benchmark: where an install spends its time. The
// shipped installer sets no sink, so a mark costs one pointer test; the
// benchmark build writes each mark with the time since the process started.
#pragma once

namespace velko::installer {

using PhaseSink = void (*)(const char* phase);

void SetPhaseSink(PhaseSink sink);
void MarkPhase(const char* phase);

}  // namespace velko::installer
