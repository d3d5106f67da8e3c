#include "tree_facts.h"

namespace vregex {

bool CanMatchEmpty(const SyntaxTree& tree, int index) {
  const Node& node = tree.at(index);
  switch (node.kind) {
    case NodeKind::kEmpty:
    case NodeKind::kBeginText:
    case NodeKind::kEndText:
      return true;
    case NodeKind::kLiteral:
    case NodeKind::kSet:
      return false;
    case NodeKind::kGroup:
      return CanMatchEmpty(tree, node.children[0]);
    case NodeKind::kRepeat:
      return node.min == 0 || CanMatchEmpty(tree, node.children[0]);
    case NodeKind::kConcat:
      for (int child : node.children) {
        if (!CanMatchEmpty(tree, child)) return false;
      }
      return true;
    case NodeKind::kAlternation:
      for (int child : node.children) {
        if (CanMatchEmpty(tree, child)) return true;
      }
      return false;
  }
  return true;
}

size_t MinLength(const SyntaxTree& tree, int index) {
  const Node& node = tree.at(index);
  switch (node.kind) {
    case NodeKind::kLiteral:
    case NodeKind::kSet:
      return 1;
    case NodeKind::kGroup:
      return MinLength(tree, node.children[0]);
    case NodeKind::kRepeat:
      return node.min == 0 ? 0 : MinLength(tree, node.children[0]);
    case NodeKind::kConcat: {
      size_t total = 0;
      for (int child : node.children) total += MinLength(tree, child);
      return total;
    }
    case NodeKind::kAlternation: {
      size_t shortest = static_cast<size_t>(-1);
      for (int child : node.children) {
        const size_t length = MinLength(tree, child);
        if (length < shortest) shortest = length;
      }
      return shortest;
    }
    default:
      return 0;
  }
}

ByteSet FirstBytes(const SyntaxTree& tree, int index) {
  const Node& node = tree.at(index);
  ByteSet result;
  switch (node.kind) {
    case NodeKind::kLiteral:
      result.Add(node.byte);
      if (tree.ignore_case) result.FoldAsciiCase();
      break;
    case NodeKind::kSet:
      result = node.set;
      break;
    case NodeKind::kGroup:
    case NodeKind::kRepeat:
      result = FirstBytes(tree, node.children[0]);
      break;
    case NodeKind::kConcat:
      for (int child : node.children) {
        result.Merge(FirstBytes(tree, child));
        if (!CanMatchEmpty(tree, child)) break;
      }
      break;
    case NodeKind::kAlternation:
      for (int child : node.children) result.Merge(FirstBytes(tree, child));
      break;
    default:
      break;
  }
  return result;
}

bool IsAnchoredAtStart(const SyntaxTree& tree, int index) {
  const Node& node = tree.at(index);
  switch (node.kind) {
    case NodeKind::kBeginText:
      return true;
    case NodeKind::kGroup:
      return IsAnchoredAtStart(tree, node.children[0]);
    case NodeKind::kRepeat:
      return node.min > 0 && IsAnchoredAtStart(tree, node.children[0]);
    case NodeKind::kConcat:
      return !node.children.empty() && IsAnchoredAtStart(tree, node.children[0]);
    case NodeKind::kAlternation:
      for (int child : node.children) {
        if (!IsAnchoredAtStart(tree, child)) return false;
      }
      return true;
    default:
      return false;
  }
}

}  // namespace vregex
