// Finds the next position at which a match can begin, using the pattern's
// leading literal or its set of possible first bytes, so that the matcher is
// started only where it has a chance.
#pragma once

#include <cstddef>
#include <string_view>

#include "program.h"

namespace vregex {

inline constexpr size_t kNoCandidate = static_cast<size_t>(-1);

// The first position >= from where a match may begin, or kNoCandidate. When the
// program starts with a literal, the literal is known to be present there.
size_t NextCandidate(const Program& program, std::string_view text, size_t from);

// True when text[pos...] begins with the literal bytes (folded compare when `fold`).
bool LiteralAt(std::string_view text, size_t pos, const char* literal, size_t length, bool fold);

}  // namespace vregex
