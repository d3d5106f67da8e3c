// The parsed form of a pattern: a tree of nodes kept in one vector and linked by
// index. Nesting depth is bounded by the parser, so walking it recursively is safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "byte_set.h"

namespace vregex {

enum class NodeKind : uint8_t {
  kEmpty,        // matches the empty string
  kLiteral,      // one byte (already case-folded when the pattern ignores case)
  kSet,          // one byte out of a set: class, escape such as \d, or "."
  kBeginText,    // "^"
  kEndText,      // "$"
  kGroup,        // "(...)" capturing or "(?:...)"
  kConcat,       // children in sequence
  kAlternation,  // children as alternatives, tried in order
  kRepeat,       // child repeated: min 0 or 1, max 1 or unbounded
};

struct Node {
  NodeKind kind = NodeKind::kEmpty;
  uint8_t byte = 0;            // kLiteral
  bool greedy = true;          // kRepeat
  bool unbounded = false;      // kRepeat: "*" and "+"
  uint8_t min = 0;             // kRepeat: 1 for "+"
  int capture = -1;            // kGroup: capture number (1-based) or -1
  ByteSet set;                 // kSet
  std::vector<int> children;   // kGroup / kRepeat: one child
};

struct SyntaxTree {
  std::vector<Node> nodes;
  int root = -1;
  size_t capture_count = 0;
  bool ignore_case = false;

  const Node& at(int index) const { return nodes[static_cast<size_t>(index)]; }
};

}  // namespace vregex
