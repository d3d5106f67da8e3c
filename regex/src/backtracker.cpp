#include "backtracker.h"

#include <cstdint>

#include "start_finder.h"

namespace vregex {
namespace {

constexpr size_t kUnset = static_cast<size_t>(-1);

enum class FrameKind : uint32_t {
  kBranch,       // resume at pc with pos
  kRestoreSlot,  // put the old value `pos` back into slots[pc]
  kGiveBack,     // greedy byte repetition: retry pc with one byte fewer, down to `pos`
  kTakeMore,     // lazy byte repetition at instruction pc: retry with one byte more
};

struct Frame {
  FrameKind kind;
  uint32_t pc;
  size_t pos;
  size_t aux;  // kGiveBack: the current end of the repetition; kTakeMore: its current end
};

// Per-thread working memory, reused by every search so that searching allocates
// only when a search needs more room than any before it on this thread.
struct Scratch {
  std::vector<Frame> stack;
  std::vector<size_t> slots;
  std::vector<uint64_t> visited;  // memo_count rows of (text size + 1) bits
};

// Above this many bits the visited table is not used; the step budget alone
// then bounds the search.
constexpr size_t kMaxVisitedBits = size_t{1} << 23;

thread_local Scratch t_scratch;

// A search that needed an unusually deep stack does not keep that memory.
constexpr size_t kRetainedFrames = size_t{1} << 16;

void TrimScratch(Scratch& scratch) {
  if (scratch.stack.capacity() > kRetainedFrames) std::vector<Frame>().swap(scratch.stack);
  if (scratch.visited.capacity() > kRetainedFrames) std::vector<uint64_t>().swap(scratch.visited);
}

class Backtracker {
 public:
  Backtracker(const Program& program, std::string_view text, size_t budget, Scratch& scratch)
      : program_(program),
        code_(program.code.data()),
        text_(text),
        data_(reinterpret_cast<const uint8_t*>(text.data())),
        size_(text.size()),
        budget_(budget),
        stack_(scratch.stack),
        slots_(scratch.slots),
        visited_(scratch.visited) {
    stack_.clear();
    slots_.assign(program.slot_count, kUnset);
    use_visited_ = program.memo_count > 0 && size_ < kMaxVisitedBits &&
                   program.memo_count <= kMaxVisitedBits / (size_ + 1);
  }

  // Tries one start position. The start of the program's leading literal has
  // already been checked by the caller when `literal_checked` is set.
  SearchOutcome TryAt(size_t start, bool literal_checked) {
    uint32_t pc = 0;
    size_t pos = start;
    if (literal_checked) {
      pc = 1;
      pos += code_[0].b;
    }
    for (;;) {
      if (++steps_ > budget_) return SearchOutcome::kBudgetExhausted;
      const Step step = Execute(code_[pc], pc, pos);
      if (step == Step::kNext) continue;
      if (step == Step::kMatched) {
        slots_[0] = start;
        slots_[1] = pos;
        return SearchOutcome::kMatch;
      }
      const Resume resume = Backtrack(pc, pos);
      if (resume == Resume::kStackEmpty) return SearchOutcome::kNoMatch;
      if (resume == Resume::kOverBudget) return SearchOutcome::kBudgetExhausted;
    }
  }

  const std::vector<size_t>& slots() const { return slots_; }

 private:
  enum class Step { kNext, kFail, kMatched };
  enum class Resume { kResumed, kStackEmpty, kOverBudget };

  // Runs one instruction: advances pc and pos, or reports failure or the match.
  Step Execute(const Inst& in, uint32_t& pc, size_t& pos) {
    bool ok = true;
    switch (in.op) {
      case Op::kLiteral:
        ok = LiteralAt(text_, pos, program_.literals.data() + in.a, in.b, in.fold);
        pos += in.b;
        break;
      case Op::kByte:
        ok = pos < size_ && program_.sets[in.a].Has(data_[pos]);
        ++pos;
        break;
      case Op::kRepeatByte:
        ok = in.greedy ? RepeatGreedy(in, pc, pos) : RepeatLazy(in, pc, pos);
        break;
      case Op::kBeginText:
        ok = pos == 0;
        break;
      case Op::kEndText:
        ok = pos == size_;
        break;
      case Op::kSave:
      case Op::kMark:
        stack_.push_back({FrameKind::kRestoreSlot, in.a, slots_[in.a], 0});
        slots_[in.a] = pos;
        break;
      case Op::kMatch:
        return Step::kMatched;
      default:
        return Branch(in, pc, pos) ? Step::kNext : Step::kFail;
    }
    ++pc;
    return ok ? Step::kNext : Step::kFail;
  }

  // The control-flow instructions: they choose the next pc and may leave a
  // branch to come back to.
  bool Branch(const Inst& in, uint32_t& pc, size_t pos) {
    switch (in.op) {
      case Op::kSplit:
        if (in.memo != kNoMemo && use_visited_ && AlreadyVisited(in.memo, pos)) return false;
        stack_.push_back({FrameKind::kBranch, in.b, pos, 0});
        pc = in.a;
        return true;
      case Op::kJump:
        pc = in.a;
        return true;
      case Op::kProgressJump:
        pc = slots_[in.a] == pos ? pc + 1 : in.b;
        return true;
      case Op::kProgressSplit:
        if (slots_[in.a] == pos) {
          ++pc;
        } else if (in.greedy) {
          stack_.push_back({FrameKind::kBranch, pc + 1, pos, 0});
          pc = in.b;
        } else {
          stack_.push_back({FrameKind::kBranch, in.b, pos, 0});
          ++pc;
        }
        return true;
      default:
        return false;
    }
  }

  // Records (row, pos) as visited; true when it already was. Failures found from
  // one start position stay valid for the later ones of the same search.
  bool AlreadyVisited(uint32_t row, size_t pos) {
    if (!visited_ready_) {
      visited_.assign((program_.memo_count * (size_ + 1) + 63) / 64, 0);
      visited_ready_ = true;
    }
    const size_t bit = row * (size_ + 1) + pos;
    uint64_t& word = visited_[bit >> 6];
    const uint64_t mask = uint64_t{1} << (bit & 63);
    if (word & mask) return true;
    word |= mask;
    return false;
  }

  // Greedy: take the longest run, leave a frame that gives bytes back one by one.
  bool RepeatGreedy(const Inst& in, uint32_t pc, size_t& pos) {
    const ByteSet& set = program_.sets[in.a];
    size_t end = pos;
    while (end < size_ && set.Has(data_[end])) ++end;
    steps_ += (end - pos) / 16;  // long runs count towards the budget too
    if (end - pos < in.min) return false;
    const size_t shortest = pos + in.min;
    if (end > shortest) stack_.push_back({FrameKind::kGiveBack, pc + 1, shortest, end});
    pos = end;
    return true;
  }

  // Lazy: take the minimum, leave a frame that takes one byte more when needed.
  bool RepeatLazy(const Inst& in, uint32_t pc, size_t& pos) {
    if (in.min > 0) {
      if (pos >= size_ || !program_.sets[in.a].Has(data_[pos])) return false;
      ++pos;
    }
    stack_.push_back({FrameKind::kTakeMore, pc, pos, pos});
    return true;
  }

  // Pops frames until one gives a new state to resume at (pc, pos).
  Resume Backtrack(uint32_t& pc, size_t& pos) {
    while (!stack_.empty()) {
      if (++steps_ > budget_) return Resume::kOverBudget;
      Frame& top = stack_.back();
      switch (top.kind) {
        case FrameKind::kBranch:
          pc = top.pc;
          pos = top.pos;
          stack_.pop_back();
          return Resume::kResumed;
        case FrameKind::kRestoreSlot:
          slots_[top.pc] = top.pos;
          stack_.pop_back();
          break;
        case FrameKind::kGiveBack:
          GiveBack(top, pc, pos);
          return Resume::kResumed;
        case FrameKind::kTakeMore: {
          const Inst& in = code_[top.pc];
          if (top.aux >= size_ || !program_.sets[in.a].Has(data_[top.aux])) {
            stack_.pop_back();
            break;
          }
          pos = ++top.aux;
          pc = top.pc + 1;
          return Resume::kResumed;
        }
      }
    }
    return Resume::kStackEmpty;
  }

  // Shortens a greedy run by one byte, or more when the instruction that follows
  // is a literal whose first byte cannot match at the shorter end.
  void GiveBack(Frame& frame, uint32_t& pc, size_t& pos) {
    size_t end = frame.aux - 1;
    const Inst& next = code_[frame.pc];
    if (next.op == Op::kLiteral) {
      const auto first = static_cast<uint8_t>(program_.literals[next.a]);
      while (end > frame.pos && (next.fold ? FoldAscii(data_[end]) : data_[end]) != first) --end;
    } else if (next.op == Op::kByte) {
      const ByteSet& set = program_.sets[next.a];
      while (end > frame.pos && !set.Has(data_[end])) --end;
    }
    pc = frame.pc;
    pos = end;
    if (end == frame.pos) {
      stack_.pop_back();
    } else {
      frame.aux = end;
    }
  }

  const Program& program_;
  const Inst* code_;
  std::string_view text_;
  const uint8_t* data_;
  size_t size_;
  size_t budget_;
  size_t steps_ = 0;
  std::vector<Frame>& stack_;
  std::vector<size_t>& slots_;
  std::vector<uint64_t>& visited_;
  bool use_visited_ = false;
  bool visited_ready_ = false;
};

void CopySpans(const Program& program, const std::vector<size_t>& slots,
               std::vector<std::pair<size_t, size_t>>& spans) {
  spans.resize(program.capture_count + 1);
  for (size_t group = 0; group <= program.capture_count; ++group) {
    const size_t begin = slots[2 * group];
    const size_t end = slots[2 * group + 1];
    // A group whose end was never recorded (or lies before its begin after a
    // later iteration restarted it) did not take part in the match.
    if (begin == kUnset || end == kUnset || end < begin) {
      spans[group] = {kUnset, kUnset};
    } else {
      spans[group] = {begin, end};
    }
  }
}

}  // namespace

SearchOutcome RunSearch(const Program& program, std::string_view text, size_t start, size_t budget,
                        std::vector<std::pair<size_t, size_t>>* spans) {
  size_t candidate = NextCandidate(program, text, start);
  if (candidate == kNoCandidate) return SearchOutcome::kNoMatch;  // the common case: nothing to run
  Backtracker backtracker(program, text, budget, t_scratch);
  SearchOutcome outcome = SearchOutcome::kNoMatch;
  for (; candidate != kNoCandidate; candidate = NextCandidate(program, text, candidate + 1)) {
    outcome = backtracker.TryAt(candidate, program.starts_with_literal);
    if (outcome != SearchOutcome::kNoMatch) break;
  }
  if (outcome == SearchOutcome::kMatch && spans != nullptr) CopySpans(program, backtracker.slots(), *spans);
  TrimScratch(t_scratch);
  return outcome;
}

}  // namespace vregex
