#include "start_finder.h"

#include <cstring>

namespace vregex {
namespace {

uint8_t Byte(std::string_view text, size_t i) { return static_cast<uint8_t>(text[i]); }

size_t NextLiteralCandidate(const Program& program, std::string_view text, size_t from, size_t last) {
  const Inst& literal = program.code.front();
  const char* bytes = program.literals.data() + literal.a;
  const size_t k = program.scan_offset;
  const auto key = static_cast<uint8_t>(bytes[k]);
  const bool two_cases = literal.fold && key >= 'a' && key <= 'z';
  size_t pos = from;
  while (pos <= last) {
    // Look for the key byte in text[pos + k, last + k].
    const size_t scan_begin = pos + k;
    const size_t scan_length = last - pos + 1;
    size_t hit = kNoCandidate;
    if (!two_cases) {
      const void* found = std::memchr(text.data() + scan_begin, key, scan_length);
      if (found != nullptr) hit = static_cast<size_t>(static_cast<const char*>(found) - text.data());
    } else {
      for (size_t i = scan_begin; i < scan_begin + scan_length; ++i) {
        if (FoldAscii(Byte(text, i)) == key) {
          hit = i;
          break;
        }
      }
    }
    if (hit == kNoCandidate) return kNoCandidate;
    const size_t candidate = hit - k;
    if (LiteralAt(text, candidate, bytes, literal.b, literal.fold)) return candidate;
    pos = candidate + 1;
  }
  return kNoCandidate;
}

}  // namespace

bool LiteralAt(std::string_view text, size_t pos, const char* literal, size_t length, bool fold) {
  if (text.size() - pos < length) return false;
  const char* p = text.data() + pos;
  if (!fold) return std::memcmp(p, literal, length) == 0;
  for (size_t i = 0; i < length; ++i) {
    if (FoldAscii(static_cast<uint8_t>(p[i])) != static_cast<uint8_t>(literal[i])) return false;
  }
  return true;
}

size_t NextCandidate(const Program& program, std::string_view text, size_t from) {
  if (from > text.size() || text.size() - from < program.min_length) return kNoCandidate;
  if (program.anchored) return from == 0 ? 0 : kNoCandidate;
  const size_t last = text.size() - program.min_length;  // latest start that leaves room for a match
  if (program.starts_with_literal) return NextLiteralCandidate(program, text, from, last);
  if (program.can_start_anywhere) return from;
  for (size_t pos = from; pos <= last; ++pos) {
    if (program.first_bytes.Has(Byte(text, pos))) return pos;
  }
  return kNoCandidate;
}

}  // namespace vregex
