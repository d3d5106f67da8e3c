// A set of byte values (0-255) as a 256-bit map: the compiled form of classes,
// escapes such as \d, "." and single literal bytes under repetition.
#pragma once

#include <array>
#include <cstdint>

namespace vregex {

class ByteSet {
 public:
  void Add(uint8_t b) { bits_[b >> 6] |= uint64_t{1} << (b & 63); }
  void AddRange(uint8_t lo, uint8_t hi) {
    for (unsigned b = lo; b <= hi; ++b) Add(static_cast<uint8_t>(b));
  }
  void Remove(uint8_t b) { bits_[b >> 6] &= ~(uint64_t{1} << (b & 63)); }
  void Merge(const ByteSet& other) {
    for (size_t i = 0; i < bits_.size(); ++i) bits_[i] |= other.bits_[i];
  }
  void Invert() {
    for (auto& word : bits_) word = ~word;
  }
  bool Has(uint8_t b) const { return (bits_[b >> 6] >> (b & 63)) & 1u; }
  bool Empty() const { return (bits_[0] | bits_[1] | bits_[2] | bits_[3]) == 0; }
  bool Full() const { return (bits_[0] & bits_[1] & bits_[2] & bits_[3]) == ~uint64_t{0}; }

  // Adds the other case of every ASCII letter in the set.
  void FoldAsciiCase() {
    for (unsigned c = 'a'; c <= 'z'; ++c) {
      const auto lower = static_cast<uint8_t>(c);
      const auto upper = static_cast<uint8_t>(c - 'a' + 'A');
      if (Has(lower) || Has(upper)) {
        Add(lower);
        Add(upper);
      }
    }
  }

  bool operator==(const ByteSet&) const = default;

 private:
  std::array<uint64_t, 4> bits_{};
};

inline uint8_t FoldAscii(uint8_t b) { return (b >= 'A' && b <= 'Z') ? static_cast<uint8_t>(b + 32) : b; }

}  // namespace vregex
