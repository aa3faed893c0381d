#include "util/cp1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace vorlin {
namespace {

// The system's iconv is an independent reference for the code page.
std::string IconvToUtf8(const std::string& cp1251) {
  iconv_t cd = iconv_open("UTF-8", "CP1251");
  std::string in = cp1251;
  std::string out(in.size() * 4, '\0');
  char* src = in.data();
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) return "<error>";
  out.resize(out.size() - dstLeft);
  return out;
}

TEST(Cp1251, EveryAssignedByteAgreesWithIconvBothWays) {
  for (int b = 1; b < 256; ++b) {
    if (b == 0x98) continue;  // unassigned in the code page
    std::string byte(1, static_cast<char>(b));
    std::string utf8 = IconvToUtf8(byte);
    ASSERT_EQ(Cp1251ToUtf8(byte), utf8) << "byte " << b;
    ASSERT_EQ(Utf8ToCp1251(utf8), byte) << "byte " << b;
  }
}

TEST(Cp1251, LackingCharactersAndMalformedUtf8BecomeQuestionMarksSwallowingNoText) {
  const std::pair<const char*, const char*> cases[] = {
      {"caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80!", "caf? ? ?!"},
      {"a\xD0", "a?"},         // cut short at the end
      {"\xD0z", "?z"},         // continuation missing
      {"\x80\xBFok", "??ok"},  // stray continuation bytes
      {"\xC0\xAF", "??"}};     // overlong form
  for (const auto& [utf8, cp1251] : cases) EXPECT_EQ(Utf8ToCp1251(utf8), cp1251) << utf8;
}

TEST(Cp1251, UpperCaseMapsLatinAndCyrillicOnly) {
  EXPECT_EQ(Cp1251ToUtf8(UpperCase1251(W("abc ёжик яма їєі ўґ 123 µ"))),
            "ABC ЁЖИК ЯМА ЇЄІ ЎҐ 123 µ");
}

TEST(Cp1251, CompareNoCaseOrdersLikeAReader) {
  EXPECT_EQ(CompareNoCase(W("Новости"), W("НОВОСТИ")), 0);
  EXPECT_LT(CompareNoCase("Zebra", W("автор")), 0);  // Latin before Cyrillic
  EXPECT_LT(CompareNoCase(W("ёж"), W("ель")), 0);    // Ё weighs as Е ...
  EXPECT_LT(CompareNoCase(W("ель"), W("ёль")), 0);   // ... and follows it only on a tie
  EXPECT_LT(CompareNoCase(W("ёж"), W("жук")), 0);
  EXPECT_LT(CompareNoCase(W("«Огонёк»"), "1st"), 0);  // punctuation before digits ...
  EXPECT_LT(CompareNoCase("_x", "10"), 0);
  EXPECT_LT(CompareNoCase("[a]", "A"), 0);
  EXPECT_LT(CompareNoCase("9", "a"), 0);  // ... digits before letters
  EXPECT_LT(CompareNoCase("abc", "abcd"), 0);
}

TEST(Cp1251Refs, CharactersTheCodePageLacksAreKeptAsReferencesAndComeBack) {
  const std::pair<const char*, const char*> cases[] = {
      {"Café Müller", "Caf&#233; M&#252;ller"},
      {"日本 😀", "&#26085;&#26412; &#128512;"},
      {"Ёлка № 5 — €", "\xA8\xEB\xEA\xE0 \xB9 5 \x97 \x88"},           // held by the code page
      {"&#60; &amp; &# &#233;", "&#38;#60; &amp; &#38;# &#38;#233;"},  // a literal "&#"
      {"x&", "x&"},
      {"\xC2\x98", "&#152;"},  // U+0098, the code point of no byte
  };
  for (const auto& [utf8, stored] : cases) {
    EXPECT_EQ(Utf8ToCp1251Refs(utf8), stored) << utf8;
    EXPECT_EQ(Cp1251RefsToUtf8(stored), utf8) << utf8;
  }
  EXPECT_EQ(Utf8ToCp1251Refs("a\xD0z\xED\xA0\x80"), "a?z???");  // malformed, a surrogate
}

TEST(Cp1251Refs, OnlyReferencesTheEncoderMakesAreDecoded) {
  // Stores written before and HTML descriptions keep their own references as text.
  for (const char* kept : {"&#60;", "&#093;&#093;>", "&#0233;", "&#1025;", "&#x E9;", "&#233",
                           "&#55296;", "&#1114112;", "&#12345678;", "&#;"}) {
    EXPECT_EQ(Cp1251RefsToUtf8(kept), kept) << kept;
  }
  EXPECT_EQ(Cp1251RefsToUtf8("&#38;&#38;#38;"), "&&#38;");
  EXPECT_EQ(UnescapeAmpersandRefs("&#38;#60; &#233; &#38;"), "&#60; &#233; &");
  std::vector<int> starts;
  EXPECT_EQ(Cp1251RefsToUtf8("a&#233;\xE1", &starts), "aé\xD0\xB1");
  EXPECT_EQ(starts, (std::vector<int>{0, 1, 7}));
}

}  // namespace
}  // namespace vorlin
