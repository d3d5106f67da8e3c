// Failure codes the reference engine reports with status 1. The updater passes
// them on without interpreting them.
#pragma once

#include <cstdint>

namespace velko::xldl {

// An HTTP status of 400 or more is reported as itself (404, 500, ...).
// A transfer error is reported as kTransferErrorBase plus libcurl's code.
inline constexpr std::int32_t kTransferErrorBase = 1000;
inline constexpr std::int32_t kFailureEmptyUrl = 2001;
inline constexpr std::int32_t kFailureCannotCreateFile = 2002;
inline constexpr std::int32_t kFailureCannotFinishFile = 2003;
inline constexpr std::int32_t kFailureStopped = 2004;
inline constexpr std::int32_t kFailureCannotStartThread = 2005;

// Status values besides the two the updater acts on (1 failed, 4 complete).
inline constexpr std::int32_t kStatusCreated = 0;
inline constexpr std::int32_t kStatusDownloading = 3;

}  // namespace velko::xldl
