#include "shell/font_value.h"

#include <gtest/gtest.h>

namespace vorlin {
namespace {

TEST(FontValue, TheArialExampleGivesArialTenPointBold) {
  FontValue font = MakeFontValue("Tahoma", 8);
  ASSERT_TRUE(ApplyFontValue("-16777208|-13|Arial|0|96|10|ynnn", font));
  EXPECT_EQ(font.name, "Arial");
  EXPECT_EQ(font.size, 10);
  EXPECT_EQ(font.height, -13);
  EXPECT_TRUE(font.bold);
  EXPECT_FALSE(font.italic);
  EXPECT_FALSE(font.underline);
  EXPECT_FALSE(font.strikeOut);
}

TEST(FontValue, ASeventhFieldLendsItsFirstCharacterToBold) {
  FontValue font;
  ASSERT_TRUE(ApplyFontValue("255|-13|Arial|0|96|10|yes|nnnn", font));
  EXPECT_TRUE(font.bold);
  EXPECT_FALSE(font.italic);     // "e"
  EXPECT_FALSE(font.underline);  // "s"
  EXPECT_FALSE(font.strikeOut);  // "|"
  EXPECT_EQ(font.color, 255);

  ASSERT_TRUE(ApplyFontValue("255|-13|Arial|0|96|10|no|yyyy", font));
  EXPECT_FALSE(font.bold);
  EXPECT_FALSE(font.italic);
}

TEST(FontValue, SizeDecidesTheHeightAndEveryStyleIsReadAfresh) {
  FontValue font;
  font.italic = true;
  ASSERT_TRUE(ApplyFontValue("0|-40|Verdana|2|96|12|nnyy", font));
  EXPECT_EQ(font.height, -16);
  EXPECT_EQ(font.pitch, 2);
  EXPECT_FALSE(font.italic);
  EXPECT_TRUE(font.underline);
  EXPECT_TRUE(font.strikeOut);
}

TEST(FontValue, MissingLettersMeanOffAndLeadingBarsAreSkipped) {
  FontValue font;
  ASSERT_TRUE(ApplyFontValue("||0|-13|Arial|0|96|10|y", font));
  EXPECT_EQ(font.name, "Arial");
  EXPECT_TRUE(font.bold);
  EXPECT_FALSE(font.italic);
}

TEST(FontValue, EmptyOrMalformedValuesLeaveTheFontAlone) {
  FontValue font = MakeFontValue("Tahoma", 10);
  const std::string before = FormatFontValue(font);
  EXPECT_FALSE(ApplyFontValue("", font));
  EXPECT_FALSE(ApplyFontValue("red|-13|Arial|0|96|10|ynnn", font));
  EXPECT_FALSE(ApplyFontValue("0|-13|Arial|0|96|big|ynnn", font));
  EXPECT_FALSE(ApplyFontValue("0|-13|Arial", font));
  EXPECT_EQ(FormatFontValue(font), before);
}

TEST(FontValue, FormattedValuesReadBackUnchanged) {
  FontValue font = MakeFontValue("Courier New", 14);
  font.color = 0x00FF8000;
  font.pitch = 2;
  font.italic = true;
  font.strikeOut = true;
  const std::string text = FormatFontValue(font);
  EXPECT_EQ(text, "16744448|-19|Courier New|2|96|14|nyny");
  FontValue back;
  ASSERT_TRUE(ApplyFontValue(text, back));
  EXPECT_EQ(FormatFontValue(back), text);
}

}  // namespace
}  // namespace vorlin
