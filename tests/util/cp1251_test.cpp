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

TEST(Cp1251, CharactersTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80!"), "caf? ? ?!");
}

TEST(Cp1251, MalformedUtf8NeverSwallowsFollowingText) {
  EXPECT_EQ(Utf8ToCp1251("a\xD0"), "a?");  // cut short at the end
  EXPECT_EQ(Utf8ToCp1251("\xD0z"), "?z");  // continuation missing
  EXPECT_EQ(Utf8ToCp1251("\x80\xBF"
                         "ok"),
            "??ok");                          // stray continuation bytes
  EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??");  // overlong form
}

TEST(Cp1251, UpperCaseMapsLatinAndCyrillicOnly) {
  EXPECT_EQ(Cp1251ToUtf8(UpperCase1251(W("abc ёжик їєі ўґ 123 µ"))), "ABC ЁЖИК ЇЄІ ЎҐ 123 µ");
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

}  // namespace
}  // namespace vorlin
