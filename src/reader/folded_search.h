// Case-insensitive substring search over Windows-1251 text with the one-character wildcard
// "?". The pattern is folded to upper case once; the text is folded byte by byte only where
// a candidate is verified, so searching never copies or upper-cases the text.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vorlin {

class FoldedPattern {
 public:
  FoldedPattern() = default;
  // `pattern` as typed; "?" stands for any one character.
  explicit FoldedPattern(std::string_view pattern);

  bool Empty() const { return upper_.empty(); }
  // 0-based position of the first match in `text`, or npos. An empty pattern matches nowhere,
  // as `WildPos` does. Equal to WildPos(Upper(pattern), Upper(text)) - 1.
  size_t Find(std::string_view text) const;
  bool OccursIn(std::string_view text) const { return Find(text) != std::string_view::npos; }

 private:
  bool MatchesAt(const unsigned char* at) const;
  size_t FindScalar(const unsigned char* text, size_t first, size_t last) const;

  std::string upper_;  // upper-cased pattern; "?" kept
  // Two anchor positions (the first and the last character that is not "?") and the two
  // byte values each may take in the text (a letter's lower- and upper-case forms).
  size_t anchor1_ = 0;
  size_t anchor2_ = 0;
  std::array<unsigned char, 2> bytes1_{};
  std::array<unsigned char, 2> bytes2_{};
  bool allWild_ = false;
};

}  // namespace vorlin
