// Turns pattern text into a SyntaxTree or a CompileError (byte position and reason).
#pragma once

#include <string_view>
#include <variant>

#include "syntax_tree.h"
#include "vregex/regex.h"

namespace vregex {

// Deepest group nesting accepted; deeper patterns are refused with an error so
// that no later stage can exhaust the stack.
inline constexpr int kMaxNestingDepth = 200;

std::variant<SyntaxTree, CompileError> ParsePattern(std::string_view pattern, bool ignore_case);

}  // namespace vregex
