#include "vregex/regex.h"

#include <variant>

#include "backtracker.h"
#include "compiler.h"
#include "parser.h"
#include "program.h"

namespace vregex {

bool Match::Matched(size_t group) const {
  return group < spans_.size() && spans_[group].first != npos;
}

size_t Match::Begin(size_t group) const { return Matched(group) ? spans_[group].first : npos; }

size_t Match::End(size_t group) const { return Matched(group) ? spans_[group].second : npos; }

std::string_view Match::Group(size_t group) const {
  if (!Matched(group)) return {};
  return text_.substr(spans_[group].first, spans_[group].second - spans_[group].first);
}

std::optional<Regex> Regex::Compile(std::string_view pattern, unsigned flags, CompileError* error) {
  std::variant<SyntaxTree, CompileError> parsed = ParsePattern(pattern, (flags & kIgnoreCase) != 0);
  if (auto* failure = std::get_if<CompileError>(&parsed)) {
    if (error != nullptr) *error = std::move(*failure);
    return std::nullopt;
  }
  auto program = std::make_shared<const Program>(CompileTree(std::get<SyntaxTree>(parsed)));
  return Regex(std::move(program));
}

Regex::Regex(const Regex&) = default;
Regex& Regex::operator=(const Regex&) = default;
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&&) noexcept = default;
Regex::~Regex() = default;

bool Regex::Search(std::string_view text, Match* match, size_t start) const {
  if (start > text.size()) return false;
  const SearchOutcome outcome =
      RunSearch(*program_, text, start, step_budget_, match != nullptr ? &match->spans_ : nullptr);
  if (match == nullptr) return outcome == SearchOutcome::kMatch;
  if (outcome != SearchOutcome::kMatch) {
    match->spans_.clear();  // no stale groups from an earlier search
    match->text_ = {};
    return false;
  }
  match->text_ = text;
  return true;
}

size_t Regex::CaptureCount() const { return program_->capture_count; }

}  // namespace vregex
