#include "app/font_value.h"

#include <gtest/gtest.h>

namespace vorlin {
namespace {

TEST(FontValue, StoredValuesApplyFieldByFieldAndEveryStyleIsReadAfresh) {
  const struct {
    const char* stored;
    const char* applied;  // the font afterwards, formatted
  } cases[] = {
      // The documented example: Arial, ten points, bold.
      {"-16777208|-13|Arial|0|96|10|ynnn", "-16777208|-13|Arial|0|96|10|ynnn"},
      // A seventh field before the letters lends its first character to bold.
      {"255|-13|Arial|0|96|10|yes|nnnn", "255|-13|Arial|0|96|10|ynnn"},
      // The size decides the height.
      {"0|-40|Verdana|2|96|12|nnyy", "0|-16|Verdana|2|96|12|nnyy"},
      // Missing letters mean off; leading bars are skipped.
      {"||0|-13|Arial|0|96|10|y", "0|-13|Arial|0|96|10|ynnn"},
  };
  for (const auto& c : cases) {
    FontValue font = MakeFontValue("Tahoma", 8);
    font.italic = font.underline = true;
    ASSERT_TRUE(ApplyFontValue(c.stored, font)) << c.stored;
    EXPECT_EQ(FormatFontValue(font), c.applied) << c.stored;
  }
}

}  // namespace
}  // namespace vorlin
