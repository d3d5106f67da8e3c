// The benchmark installer's phase marks go to the file named by the
// environment variable VELKO_PHASE_TRACE, one line each: milliseconds since
// the process was created, a space, the phase.
#pragma once

namespace velko::installer::bench {

// Opens the file and installs the sink; without the variable nothing is written.
void StartPhaseTrace();

}  // namespace velko::installer::bench
