#include "compiler.h"

#include "tree_facts.h"

namespace vregex {
namespace {

class CodeGenerator {
 public:
  CodeGenerator(const SyntaxTree& tree, Program& program) : tree_(tree), program_(program) {}

  void EmitNode(int index) {
    const Node& node = tree_.at(index);
    switch (node.kind) {
      case NodeKind::kEmpty:
        break;
      case NodeKind::kLiteral:
        EmitLiteralRun(&node.byte, 1);
        break;
      case NodeKind::kSet:
        Emit({.op = Op::kByte, .a = AddSet(node.set)});
        break;
      case NodeKind::kBeginText:
        Emit({.op = Op::kBeginText});
        break;
      case NodeKind::kEndText:
        Emit({.op = Op::kEndText});
        break;
      case NodeKind::kGroup:
        EmitGroup(node);
        break;
      case NodeKind::kConcat:
        EmitConcat(node);
        break;
      case NodeKind::kAlternation:
        EmitAlternation(node);
        break;
      case NodeKind::kRepeat:
        EmitRepeat(node);
        break;
    }
  }

  uint32_t Emit(Inst inst) {
    if (inst.op == Op::kSplit && empty_loop_depth_ == 0) inst.memo = static_cast<uint32_t>(program_.memo_count++);
    program_.code.push_back(inst);
    return Here() - 1;
  }

 private:
  uint32_t Here() const { return static_cast<uint32_t>(program_.code.size()); }

  // Shares a set already in the table; only the first entries are compared so
  // that a pattern with very many classes still compiles in linear time.
  uint32_t AddSet(const ByteSet& set) {
    constexpr size_t kSharedSets = 64;
    for (size_t i = 0; i < program_.sets.size() && i < kSharedSets; ++i) {
      if (program_.sets[i] == set) return static_cast<uint32_t>(i);
    }
    program_.sets.push_back(set);
    return static_cast<uint32_t>(program_.sets.size() - 1);
  }

  void EmitLiteralRun(const uint8_t* bytes, size_t count) {
    const auto offset = static_cast<uint32_t>(program_.literals.size());
    program_.literals.append(reinterpret_cast<const char*>(bytes), count);
    Emit({.op = Op::kLiteral, .fold = tree_.ignore_case, .a = offset, .b = static_cast<uint32_t>(count)});
  }

  void EmitGroup(const Node& node) {
    if (node.capture < 0) {
      EmitNode(node.children[0]);
      return;
    }
    const auto slot = static_cast<uint32_t>(2 * node.capture);
    Emit({.op = Op::kSave, .a = slot});
    EmitNode(node.children[0]);
    Emit({.op = Op::kSave, .a = slot + 1});
  }

  // Consecutive literal bytes become one kLiteral instruction.
  void EmitConcat(const Node& node) {
    std::vector<uint8_t> run;
    for (int child : node.children) {
      const Node& item = tree_.at(child);
      if (item.kind == NodeKind::kLiteral) {
        run.push_back(item.byte);
        continue;
      }
      if (!run.empty()) EmitLiteralRun(run.data(), run.size());
      run.clear();
      EmitNode(child);
    }
    if (!run.empty()) EmitLiteralRun(run.data(), run.size());
  }

  // SPLIT next, L1; alt0; JMP end; L1: SPLIT next, L2; alt1; JMP end; ... altN; end:
  void EmitAlternation(const Node& node) {
    std::vector<uint32_t> jumps_to_end;
    for (size_t i = 0; i < node.children.size(); ++i) {
      const bool last = i + 1 == node.children.size();
      uint32_t split = 0;
      if (!last) split = Emit({.op = Op::kSplit});
      EmitNode(node.children[i]);
      if (!last) {
        jumps_to_end.push_back(Emit({.op = Op::kJump}));
        program_.code[split].a = split + 1;
        program_.code[split].b = Here();
      }
    }
    for (uint32_t jump : jumps_to_end) program_.code[jump].a = Here();
  }

  void EmitRepeat(const Node& node) {
    int child = node.children[0];
    while (tree_.at(child).kind == NodeKind::kGroup && tree_.at(child).capture < 0) {
      child = tree_.at(child).children[0];  // "(?:x)*" repeats x
    }
    const Node& body = tree_.at(child);
    if (node.unbounded && (body.kind == NodeKind::kSet || body.kind == NodeKind::kLiteral)) {
      ByteSet set = body.set;
      if (body.kind == NodeKind::kLiteral) {
        set = ByteSet();
        set.Add(body.byte);
        if (tree_.ignore_case) set.FoldAsciiCase();
      }
      Emit({.op = Op::kRepeatByte, .greedy = node.greedy, .min = node.min, .a = AddSet(set)});
      return;
    }
    if (!node.unbounded) {
      EmitOptional(node);
      return;
    }
    EmitLoop(node, CanMatchEmpty(tree_, child));
  }

  // X? : SPLIT L1, end (greedy) or SPLIT end, L1 (lazy); L1: X; end:
  void EmitOptional(const Node& node) {
    const uint32_t split = Emit({.op = Op::kSplit});
    EmitNode(node.children[0]);
    SetSplitTargets(split, split + 1, Here(), node.greedy);
  }

  void SetSplitTargets(uint32_t split, uint32_t body, uint32_t exit, bool greedy) {
    program_.code[split].a = greedy ? body : exit;
    program_.code[split].b = greedy ? exit : body;
  }

  // X* : head: SPLIT body, end; body: [MARK r] X; JMP head (or PROGRESS_JUMP r, head); end:
  // X+ : body: [MARK r] X; SPLIT body, end (or PROGRESS_SPLIT r, body); end:
  // A body that can match empty gets a mark so that an iteration that consumed
  // nothing ends the loop instead of repeating forever.
  void EmitLoop(const Node& node, bool body_can_be_empty) {
    uint32_t mark_slot = 0;
    if (body_can_be_empty) mark_slot = static_cast<uint32_t>(program_.slot_count++);
    const uint32_t head = Here();
    uint32_t split = 0;
    if (node.min == 0) split = Emit({.op = Op::kSplit});
    const uint32_t body = Here();
    if (body_can_be_empty) {
      Emit({.op = Op::kMark, .a = mark_slot});
      ++empty_loop_depth_;
    }
    EmitNode(node.children[0]);
    if (body_can_be_empty) --empty_loop_depth_;
    if (node.min == 0) {
      if (body_can_be_empty) {
        Emit({.op = Op::kProgressJump, .a = mark_slot, .b = head});
      } else {
        Emit({.op = Op::kJump, .a = head});
      }
      SetSplitTargets(split, body, Here(), node.greedy);
      return;
    }
    if (body_can_be_empty) {
      Emit({.op = Op::kProgressSplit, .greedy = node.greedy, .a = mark_slot, .b = body});
      return;
    }
    const uint32_t tail = Emit({.op = Op::kSplit});
    SetSplitTargets(tail, body, Here(), node.greedy);
  }

  const SyntaxTree& tree_;
  Program& program_;
  int empty_loop_depth_ = 0;  // loops being emitted whose body can match empty
};

// Prefers a leading-literal byte that is not a letter under case folding, so that
// candidates can be found with a single memchr.
size_t ChooseScanOffset(const Program& program) {
  const Inst& first = program.code.front();
  if (!first.fold) return 0;
  for (size_t i = 0; i < first.b; ++i) {
    const auto byte = static_cast<uint8_t>(program.literals[first.a + i]);
    if (byte < 'a' || byte > 'z') return i;
  }
  return 0;
}

}  // namespace

Program CompileTree(const SyntaxTree& tree) {
  Program program;
  program.capture_count = tree.capture_count;
  program.slot_count = 2 * (tree.capture_count + 1);
  CodeGenerator generator(tree, program);
  generator.EmitNode(tree.root);
  generator.Emit({.op = Op::kMatch});

  program.anchored = IsAnchoredAtStart(tree, tree.root);
  program.min_length = MinLength(tree, tree.root);
  program.can_start_anywhere = CanMatchEmpty(tree, tree.root);
  if (!program.can_start_anywhere) program.first_bytes = FirstBytes(tree, tree.root);
  program.starts_with_literal = program.code.front().op == Op::kLiteral;
  if (program.starts_with_literal) program.scan_offset = ChooseScanOffset(program);
  return program;
}

}  // namespace vregex
