// A small backtracking regular-expression matcher for the UI library's style,
// colour, font, margin and resource-reference patterns.
//
// Syntax: literals, "." (any byte but a line feed), classes "[a-z]" / "[^\\/]"
// ("]" first and "-" first or last are members), escapes \d \w \s (ASCII) and
// their upper-case negations, \t \n \r \f \v, escaped metacharacters and escaped
// ordinary characters ("\%", "\:"), groups "(...)" and "(?:...)", alternation
// "|", quantifiers * + ? and their lazy forms *? +? ??, anchors "^" (start of
// text) and "$" (end of text). A group left open at the end of the pattern is
// closed there. Refused with a CompileError: counted repetition "{n,m}", other
// "(?" forms, unknown letter or digit escapes, nesting deeper than 200 groups.
// Case-insensitivity folds ASCII letters only; other bytes (UTF-8) compare as-is.
//
// Backtracking state lives on the heap and every search has a step budget, so a
// pathological pattern/text pair ends as "no match" instead of exhausting the
// stack or running without end. A compiled Regex is immutable: one object may be
// searched from several threads at once.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vregex {

enum Flags : unsigned {
  kNone = 0,
  kIgnoreCase = 1u << 0,
};

struct CompileError {
  size_t position = 0;  // byte offset in the pattern where the problem was found
  std::string reason;
};

// The result of one successful search. Group 0 is the whole match. Group texts
// are views into the searched text, which must outlive them.
class Match {
 public:
  size_t GroupCount() const { return spans_.size(); }
  // False for a group that did not take part in the match (distinct from empty).
  bool Matched(size_t group) const;
  // Offsets into the searched text; npos when the group did not match.
  size_t Begin(size_t group) const;
  size_t End(size_t group) const;
  // The group's text, empty when unmatched or when the group index is out of range.
  std::string_view Group(size_t group) const;
  std::string GroupString(size_t group) const { return std::string(Group(group)); }

  static constexpr size_t npos = static_cast<size_t>(-1);

 private:
  friend class Regex;
  std::string_view text_;
  std::vector<std::pair<size_t, size_t>> spans_;
};

class Program;  // compiled form, private to the implementation

class Regex {
 public:
  // Steps (instruction executions) allowed for one Search before it gives up.
  static constexpr size_t kDefaultStepBudget = 1u << 20;

  // Compiles `pattern`; on failure returns nullopt and fills `error` if given.
  static std::optional<Regex> Compile(std::string_view pattern, unsigned flags = kNone,
                                      CompileError* error = nullptr);

  Regex(const Regex&);
  Regex& operator=(const Regex&);
  Regex(Regex&&) noexcept;
  Regex& operator=(Regex&&) noexcept;
  ~Regex();

  // Leftmost match starting at or after `start`. Returns false when there is no
  // match or the step budget ran out.
  bool Search(std::string_view text, Match* match, size_t start = 0) const;
  bool Search(std::string_view text, size_t start = 0) const { return Search(text, nullptr, start); }

  // Number of capture groups, not counting group 0.
  size_t CaptureCount() const;

  void SetStepBudget(size_t steps) { step_budget_ = steps; }

 private:
  explicit Regex(std::shared_ptr<const Program> program) : program_(std::move(program)) {}
  std::shared_ptr<const Program> program_;
  size_t step_budget_ = kDefaultStepBudget;
};

}  // namespace vregex
