#include "util/text_utils.h"

#include <gtest/gtest.h>

namespace vorlin {
namespace {

TEST(TextUtils, ReplaceAllAndPaddingNeverRescanNorTruncate) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abab", "ab", "abab"), "abababab");
  EXPECT_EQ(ReplaceAll("text", "", "x"), "text");
  EXPECT_EQ(Fill('x', -5), "");
  EXPECT_EQ(LeftPad('0', "123", 2), "123");
  EXPECT_EQ(LeftPad('0', "123", 6), "000123");
}

TEST(TextUtils, WildPosMatchesOneCharacterPerQuestionMark) {
  EXPECT_EQ(WildPos("b?d", "abcd"), 2);
  EXPECT_EQ(WildPos("a?cde", "abcd"), 0);  // longer than the text
  EXPECT_EQ(WildPos("d?", "abcd"), 0);     // no character after the last
  EXPECT_EQ(WildPos("c?", "abcdc"), 3);
  EXPECT_EQ(WildPos("B?D", "abcd"), 0);  // case-sensitive
  EXPECT_EQ(WildPos("", "abc"), 0);
}

TEST(TextUtils, ControlsToBlanksReplacesCodesUpToBlank) {
  const std::string controls = {'a', '\t', '\r', '\n', '\x01', ' ', '\x7F', '\0', 'z'};
  EXPECT_EQ(ControlsToBlanks(controls), "a" + std::string(5, ' ') + "\x7F z");
}

}  // namespace
}  // namespace vorlin
