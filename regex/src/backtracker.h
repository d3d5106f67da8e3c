// Runs a compiled Program over a text with an explicit backtrack stack on the heap.
#pragma once

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

#include "program.h"

namespace vregex {

enum class SearchOutcome { kMatch, kNoMatch, kBudgetExhausted };

// Leftmost match at or after `start`. On a match, `spans` (when not null) gets
// one (begin, end) pair per group, group 0 first; unmatched groups are (npos, npos).
// `budget` bounds the instructions executed plus the backtracking steps taken.
SearchOutcome RunSearch(const Program& program, std::string_view text, size_t start, size_t budget,
                        std::vector<std::pair<size_t, size_t>>* spans);

}  // namespace vregex
