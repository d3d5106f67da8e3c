// Facts computed from a SyntaxTree: whether a node can match the empty string,
// its shortest match, the bytes it can begin with, and whether it is anchored.
#pragma once

#include <cstddef>

#include "byte_set.h"
#include "syntax_tree.h"

namespace vregex {

bool CanMatchEmpty(const SyntaxTree& tree, int node);
size_t MinLength(const SyntaxTree& tree, int node);
// Bytes that the first consumed byte of a match of `node` can be. When the node
// can match empty, the bytes of what follows it must be added by the caller.
ByteSet FirstBytes(const SyntaxTree& tree, int node);
// True when every match of `node` must begin at the start of the text.
bool IsAnchoredAtStart(const SyntaxTree& tree, int node);

}  // namespace vregex
