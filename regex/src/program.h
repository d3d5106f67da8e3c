// The compiled form of a pattern: a compact instruction list run by the
// backtracking matcher, plus facts about the pattern used to skip start positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_set.h"

namespace vregex {

enum class Op : uint8_t {
  kLiteral,        // bytes literals[a, a+b) must follow (case-folded compare when fold)
  kByte,           // one byte of sets[a]
  kRepeatByte,     // bytes of sets[a] repeated, at least `min`, unbounded, greedy or lazy
  kBeginText,      // position 0
  kEndText,        // end of the text
  kSplit,          // continue at a; on failure resume at b
  kJump,           // continue at a
  kSave,           // slots[a] = position (capture boundary)
  kMark,           // slots[a] = position (start of one iteration of a loop that may match empty)
  kProgressJump,   // when the iteration begun at slots[a] consumed input: continue at b, else fall through
  kProgressSplit,  // when it consumed input: try b and the next instruction in greedy/lazy order
  kMatch,
};

inline constexpr uint32_t kNoMemo = 0xFFFFFFFFu;

struct Inst {
  Op op = Op::kMatch;
  bool greedy = true;
  bool fold = false;
  uint8_t min = 0;
  uint32_t a = 0;
  uint32_t b = 0;
  // kSplit outside every loop whose body can match empty: index of its row in
  // the matcher's visited table. What happens after such an instruction depends
  // only on the position, so a second arrival at the same position can only
  // fail again and is cut short.
  uint32_t memo = kNoMemo;
};

class Program {
 public:
  std::vector<Inst> code;
  std::vector<ByteSet> sets;
  std::string literals;  // case-folded when the pattern ignores case

  size_t capture_count = 0;  // not counting group 0
  size_t slot_count = 0;     // 2 * (capture_count + 1) capture slots, then loop marks
  size_t memo_count = 0;     // kSplit instructions with a visited-table row

  // Facts used to choose start positions.
  bool anchored = false;        // every match begins at position 0
  size_t min_length = 0;        // no match is shorter
  bool can_start_anywhere = true;  // false when first_bytes limits the start
  ByteSet first_bytes;          // bytes a non-empty match can begin with
  bool starts_with_literal = false;  // code[0] is kLiteral: the match begins with it
  size_t scan_offset = 0;  // index of the literal byte searched for first (one without case variants when possible)
};

}  // namespace vregex
