#include "reader/folded_search.h"

#include <cstring>

#include "util/cp1251.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vorlin {
namespace {

struct FoldTables {
  std::array<unsigned char, 256> upper{};
  // The byte whose upper-case form is this one (itself when there is none).
  std::array<unsigned char, 256> lowerOf{};
  FoldTables() {
    for (int i = 0; i < 256; ++i) {
      upper[i] = static_cast<unsigned char>(UpperCase1251(static_cast<char>(i)));
      lowerOf[i] = static_cast<unsigned char>(i);
    }
    for (int i = 0; i < 256; ++i) {
      if (upper[i] != i) lowerOf[upper[i]] = static_cast<unsigned char>(i);
    }
  }
};

const FoldTables& Tables() {
  static const FoldTables tables;
  return tables;
}

}  // namespace

FoldedPattern::FoldedPattern(std::string_view pattern) : upper_(UpperCase1251(pattern)) {
  if (upper_.empty()) return;
  size_t first = upper_.find_first_not_of('?');
  if (first == std::string::npos) {
    allWild_ = true;
    return;
  }
  anchor1_ = first;
  anchor2_ = upper_.find_last_not_of('?');
  const FoldTables& t = Tables();
  auto u1 = static_cast<unsigned char>(upper_[anchor1_]);
  auto u2 = static_cast<unsigned char>(upper_[anchor2_]);
  bytes1_ = {u1, t.lowerOf[u1]};
  bytes2_ = {u2, t.lowerOf[u2]};
}

bool FoldedPattern::MatchesAt(const unsigned char* at) const {
  const auto& upper = Tables().upper;
  const auto* p = reinterpret_cast<const unsigned char*>(upper_.data());
  for (size_t i = 0; i < upper_.size(); ++i) {
    if (p[i] != '?' && upper[at[i]] != p[i]) return false;
  }
  return true;
}

// Tries every start position in [first, last].
size_t FoldedPattern::FindScalar(const unsigned char* text, size_t first, size_t last) const {
  for (size_t s = first; s <= last; ++s) {
    unsigned char c1 = text[s + anchor1_];
    if (c1 != bytes1_[0] && c1 != bytes1_[1]) continue;
    unsigned char c2 = text[s + anchor2_];
    if (c2 != bytes2_[0] && c2 != bytes2_[1]) continue;
    if (MatchesAt(text + s)) return s;
  }
  return std::string_view::npos;
}

size_t FoldedPattern::Find(std::string_view textView) const {
  const size_t len = upper_.size();
  if (len == 0 || textView.size() < len) return std::string_view::npos;
  if (allWild_) return 0;
  const auto* text = reinterpret_cast<const unsigned char*>(textView.data());
  const size_t last = textView.size() - len;  // the last possible start
  if (len == 1 && bytes1_[0] == bytes1_[1]) {
    const void* hit = std::memchr(text, bytes1_[0], textView.size());
    return hit == nullptr ? std::string_view::npos
                          : static_cast<size_t>(static_cast<const unsigned char*>(hit) - text);
  }
  size_t s = 0;
#if defined(__SSE2__)
  // Sixteen start positions at a time: both anchors must hold one of their two bytes; only
  // those candidates are compared in full.
  const __m128i a1 = _mm_set1_epi8(static_cast<char>(bytes1_[0]));
  const __m128i b1 = _mm_set1_epi8(static_cast<char>(bytes1_[1]));
  const __m128i a2 = _mm_set1_epi8(static_cast<char>(bytes2_[0]));
  const __m128i b2 = _mm_set1_epi8(static_cast<char>(bytes2_[1]));
  for (; s + 15 <= last; s += 16) {
    __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + s + anchor1_));
    __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + s + anchor2_));
    __m128i m1 = _mm_or_si128(_mm_cmpeq_epi8(x1, a1), _mm_cmpeq_epi8(x1, b1));
    __m128i m2 = _mm_or_si128(_mm_cmpeq_epi8(x2, a2), _mm_cmpeq_epi8(x2, b2));
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(m1, m2)));
    while (mask != 0) {
      unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
      if (MatchesAt(text + s + bit)) return s + bit;
      mask &= mask - 1;
    }
  }
#endif
  return s <= last ? FindScalar(text, s, last) : std::string_view::npos;
}

}  // namespace vorlin
