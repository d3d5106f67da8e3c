// Turns a SyntaxTree into the instruction list the matcher runs.
#pragma once

#include "program.h"
#include "syntax_tree.h"

namespace vregex {

Program CompileTree(const SyntaxTree& tree);

}  // namespace vregex
