#include "util/text_utils.h"

#include <gtest/gtest.h>

namespace vorlin {
namespace {

TEST(ReplaceAll, ScansLeftToRightWithoutRescanning) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abab", "ab", "abab"), "abababab");
  EXPECT_EQ(ReplaceAll("text", "", "x"), "text");
  EXPECT_EQ(ReplaceAll("", "a", "b"), "");
  EXPECT_EQ(ReplaceAll("a.b.c", ".", ""), "abc");
}

TEST(Padding, FillsAndNeverTruncates) {
  EXPECT_EQ(Fill('x', 3), "xxx");
  EXPECT_EQ(Fill('x', -5), "");
  EXPECT_EQ(LeftPad('0', "123", 2), "123");
  EXPECT_EQ(LeftPad('0', "123", 6), "000123");
  EXPECT_EQ(LeftPad('0', "", 2), "00");
}

TEST(WildPos, QuestionMarkMatchesOneCharacter) {
  EXPECT_EQ(WildPos("b?d", "abcd"), 2);
  EXPECT_EQ(WildPos("bc", "abcd"), 2);
  EXPECT_EQ(WildPos("x", "abcd"), 0);
  EXPECT_EQ(WildPos("?", ""), 0);
  EXPECT_EQ(WildPos("a?cde", "abcd"), 0);  // longer than the text
  EXPECT_EQ(WildPos("??", "ab"), 1);
  EXPECT_EQ(WildPos("d?", "abcd"), 0);  // no character after the last
  EXPECT_EQ(WildPos("c?", "abcdc"), 3);
  EXPECT_EQ(WildPos("B?D", "abcd"), 0);  // case-sensitive
  EXPECT_EQ(WildPos("", "abc"), 0);
}

TEST(EscapeCData, ReplacesEveryTerminatorAndIsStableOnItsOutput) {
  EXPECT_EQ(EscapeCData("a]]>b]]>"), "a&#093;&#093;>b&#093;&#093;>");
  EXPECT_EQ(EscapeCData("]]]>>"), "]&#093;&#093;>>");
  const std::string once = EscapeCData("x]]>y");
  EXPECT_EQ(EscapeCData(once), once);
  EXPECT_EQ(EscapeCData("<b>&amp;\"'</b>"), "<b>&amp;\"'</b>");
}

TEST(ControlsToBlanks, ReplacesCodesUpToBlank) {
  const std::string controls = {'a', '\t', 'b', '\r', '\n', 'c', '\x01', ' ', '\x7F', '\0', 'z'};
  const std::string blanks = {'a', ' ', 'b', ' ', ' ', 'c', ' ', ' ', '\x7F', ' ', 'z'};
  EXPECT_EQ(ControlsToBlanks(controls), blanks);
}

}  // namespace
}  // namespace vorlin
