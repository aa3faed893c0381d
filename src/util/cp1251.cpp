#include "util/cp1251.h"

#include <array>
#include <cstdint>

namespace vorlin {
namespace {

// Unicode code points of bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F. The one byte the
// code page leaves unassigned (0x98) stands for the replacement character U+FFFD both ways, so
// a store holding it loads, shows the mark and keeps the byte when written back.
constexpr std::array<uint16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

uint16_t CodePoint(unsigned char b) {
  if (b < 0x80) return b;
  if (b >= 0xC0) return static_cast<uint16_t>(0x0410 + (b - 0xC0));
  return kHigh[b - 0x80];
}

// Reverse table for the code points of the Basic Multilingual Plane.
constexpr uint32_t kReverseSize = 0x10000;

struct Reverse {
  std::array<unsigned char, kReverseSize> bytes{};
  constexpr Reverse() {
    for (int b = 0x80; b <= 0xFF; ++b) {
      uint16_t cp = b >= 0xC0 ? static_cast<uint16_t>(0x0410 + (b - 0xC0)) : kHigh[b - 0x80];
      bytes[cp] = static_cast<unsigned char>(b);
    }
  }
};
constexpr Reverse kReverse;

struct UpperTable {
  std::array<unsigned char, 256> map{};
  constexpr UpperTable() {
    for (int i = 0; i < 256; ++i) map[i] = static_cast<unsigned char>(i);
    for (int i = 'a'; i <= 'z'; ++i) map[i] = static_cast<unsigned char>(i - 32);
    for (int i = 0xE0; i <= 0xFF; ++i) map[i] = static_cast<unsigned char>(i - 32);
    constexpr std::array<std::array<int, 2>, 15> pairs = {{{0x83, 0x81},
                                                           {0x90, 0x80},
                                                           {0x9A, 0x8A},
                                                           {0x9C, 0x8C},
                                                           {0x9D, 0x8D},
                                                           {0x9E, 0x8E},
                                                           {0x9F, 0x8F},
                                                           {0xA2, 0xA1},
                                                           {0xBC, 0xA3},
                                                           {0xB4, 0xA5},
                                                           {0xB8, 0xA8},
                                                           {0xBA, 0xAA},
                                                           {0xBF, 0xAF},
                                                           {0xB3, 0xB2},
                                                           {0xBE, 0xBD}}};
    for (const auto& p : pairs) map[p[0]] = static_cast<unsigned char>(p[1]);
  }
};
constexpr UpperTable kUpper;

// Collation weights of upper-cased bytes: punctuation, symbols and control characters first
// (in code order), then digits, Latin letters and Cyrillic letters. Cyrillic letters follow
// the alphabet, with the letters of other Cyrillic alphabets right after their nearest Russian
// letter; "Ё" weighs as "Е" and is told apart only when the texts are otherwise equal.
struct Collation {
  std::array<uint16_t, 256> primary{};
  constexpr Collation() {
    for (int i = 0; i < 256; ++i) primary[i] = static_cast<uint16_t>(i);
    for (int i = '0'; i <= '9'; ++i) primary[i] = static_cast<uint16_t>(0x100 + i - '0');
    for (int i = 'A'; i <= 'Z'; ++i) primary[i] = static_cast<uint16_t>(0x200 + i - 'A');
    for (int i = 0xC0; i <= 0xDF; ++i) primary[i] = static_cast<uint16_t>(0x300 + (i - 0xC0) * 4);
    // byte, Russian letter it follows (0 = А), rank after it
    constexpr std::array<std::array<int, 3>, 15> extra = {{{0xA5, 3, 1},
                                                           {0x81, 3, 2},
                                                           {0x80, 4, 1},
                                                           {0xA8, 5, 0},
                                                           {0xAA, 5, 2},
                                                           {0xBD, 7, 1},
                                                           {0xB2, 8, 1},
                                                           {0xAF, 8, 2},
                                                           {0xA3, 9, 1},
                                                           {0x8D, 10, 1},
                                                           {0x8A, 11, 1},
                                                           {0x8C, 13, 1},
                                                           {0x8E, 18, 1},
                                                           {0xA1, 19, 1},
                                                           {0x8F, 23, 1}}};
    for (const auto& e : extra) primary[e[0]] = static_cast<uint16_t>(0x300 + e[1] * 4 + e[2]);
  }
};
constexpr Collation kCollation;

inline uint16_t Primary(char c) {
  return kCollation.primary[kUpper.map[static_cast<unsigned char>(c)]];
}

// Reads one UTF-8 sequence at p (p < end); returns its length, or 0 when the bytes there are no
// well-formed sequence (then the caller takes one byte as "?").
int ReadUtf8(const unsigned char* p, const unsigned char* end, uint32_t& cp) {
  const unsigned char c = *p;
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  const int extra = c >= 0xF0 && c < 0xF5   ? 3
                    : c >= 0xE0 && c < 0xF0 ? 2
                    : c >= 0xC2 && c < 0xE0 ? 1
                                            : -1;
  if (extra < 0 || end - p <= extra) return 0;
  cp = c & (0x3Fu >> extra);
  for (int i = 1; i <= extra; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3Fu);
  }
  // Overlong forms, surrogates and code points past Unicode are no characters.
  static constexpr uint32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
  if (cp < kLeast[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
  return extra + 1;
}

void AppendUtf8Char(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

constexpr uint32_t kAmpersand = 38;

// The reference at text[i] ("&#" digits ";") that the decoder turns back: its code point and
// length, or 0.
size_t EncodedRefAt(std::string_view text, size_t i, uint32_t& cp) {
  if (i + 3 >= text.size() || text[i] != '&' || text[i + 1] != '#') return 0;
  size_t j = i + 2;
  if (text[j] == '0') return 0;  // the encoder writes no leading zero
  uint32_t value = 0;
  for (; j < text.size() && j < i + 9 && text[j] >= '0' && text[j] <= '9'; ++j) {
    value = value * 10 + static_cast<uint32_t>(text[j] - '0');
  }
  if (j == i + 2 || j >= text.size() || text[j] != ';') return 0;
  if (value != kAmpersand && !IsEncodedRef(value)) return 0;
  cp = value;
  return j + 1 - i;
}

}  // namespace

bool IsEncodedRef(uint32_t cp) {
  if (cp < 0x80 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  return cp >= kReverseSize || kReverse.bytes[cp] == 0;
}

size_t EncodedRefLength(std::string_view text, size_t i) {
  uint32_t cp = 0;
  return EncodedRefAt(text, i, cp);
}

void AppendUtf8AsCp1251Refs(std::string& out, std::string_view utf8) {
  out.reserve(out.size() + utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    uint32_t cp = 0;
    const int n = ReadUtf8(p, end, cp);
    if (n == 0) {
      out += '?';
      ++p;
      continue;
    }
    p += n;
    if (cp == '&' && p < end && *p == '#') {
      out += "&#38;";
    } else if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (IsEncodedRef(cp)) {
      out += "&#" + std::to_string(cp) + ';';
    } else {
      out += static_cast<char>(kReverse.bytes[cp]);
    }
  }
}

std::string Utf8ToCp1251Refs(std::string_view utf8) {
  std::string out;
  AppendUtf8AsCp1251Refs(out, utf8);
  return out;
}

std::string Cp1251RefsToUtf8(std::string_view text, std::vector<int>* starts) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  if (starts != nullptr) starts->clear();
  size_t i = 0;
  while (i < text.size()) {
    if (starts != nullptr) starts->push_back(static_cast<int>(i));
    uint32_t cp = 0;
    if (const size_t n = text[i] == '&' ? EncodedRefAt(text, i, cp) : 0; n != 0) {
      AppendUtf8Char(out, cp);
      i += n;
      continue;
    }
    const auto b = static_cast<unsigned char>(text[i]);
    const uint16_t own = CodePoint(b);
    AppendUtf8Char(out, own != 0 || b == 0 ? own : '?');
    ++i;
  }
  return out;
}

std::string UnescapeAmpersandRefs(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, 5, "&#38;") == 0) {
      out += '&';
      i += 5;
    } else {
      out += text[i++];
    }
  }
  return out;
}

void AppendUtf8AsCp1251(std::string& out, std::string_view utf8) {
  // The result is never longer than the input; write through a pointer and trim at the end.
  const size_t base = out.size();
  out.resize(base + utf8.size());
  char* dst = out.data() + base;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    unsigned char c = *p;
    if (c < 0x80) {
      *dst++ = static_cast<char>(c);
      ++p;
      continue;
    }
    // Cyrillic А..я (U+0410..U+044F), the bulk of Russian text, map straight to 0xC0..0xFF.
    if ((c == 0xD0 || c == 0xD1) && p + 1 < end && (p[1] & 0xC0) == 0x80) {
      uint32_t cp = ((c & 0x1Fu) << 6) | (p[1] & 0x3Fu);
      if (cp >= 0x410 && cp <= 0x44F) {
        *dst++ = static_cast<char>(0xC0 + (cp - 0x410));
        p += 2;
        continue;
      }
    }
    int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
    if (extra < 0 || end - p <= extra) {
      *dst++ = '?';
      ++p;
      continue;
    }
    uint32_t cp = c & (0x3F >> extra);
    bool ok = true;
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (!ok) {
      *dst++ = '?';
      ++p;
      continue;
    }
    p += extra + 1;
    unsigned char b = cp < kReverseSize ? kReverse.bytes[cp] : 0;
    *dst++ = b != 0 ? static_cast<char>(b) : '?';
  }
  out.resize(static_cast<size_t>(dst - out.data()));
}

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out;
  AppendUtf8AsCp1251(out, utf8);
  return out;
}

void AppendCp1251AsUtf8(std::string& out, std::string_view text) {
  const size_t base = out.size();
  out.resize(base + text.size() * 3);
  char* dst = out.data() + base;
  for (char ch : text) {
    auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      *dst++ = ch;
      continue;
    }
    const uint16_t cp = CodePoint(b);
    if (cp < 0x800) {
      *dst++ = static_cast<char>(0xC0 | (cp >> 6));
      *dst++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      *dst++ = static_cast<char>(0xE0 | (cp >> 12));
      *dst++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      *dst++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  out.resize(static_cast<size_t>(dst - out.data()));
}

std::string Cp1251ToUtf8(std::string_view text) {
  std::string out;
  AppendCp1251AsUtf8(out, text);
  return out;
}

char UpperCase1251(char c) { return static_cast<char>(kUpper.map[static_cast<unsigned char>(c)]); }

std::string UpperCase1251(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperCase1251(c);
  return out;
}

uint16_t CollationWeight(char c) { return Primary(c); }

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    uint16_t wa = Primary(a[i]);
    uint16_t wb = Primary(b[i]);
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  // Equal but for "Е" against "Ё": "Е" first.
  for (size_t i = 0; i < n; ++i) {
    auto ua = kUpper.map[static_cast<unsigned char>(a[i])];
    auto ub = kUpper.map[static_cast<unsigned char>(b[i])];
    if (ua != ub) return ua == 0xA8 ? 1 : -1;
  }
  return 0;
}

}  // namespace vorlin
