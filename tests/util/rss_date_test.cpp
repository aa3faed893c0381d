#include "util/rss_date.h"

#include <gtest/gtest.h>

namespace vorlin {
namespace {

TEST(NormaliseDate, WellFormedDatesWithAndWithoutZoneShift) {
  const std::pair<const char*, const char*> cases[] = {
      // The zone counts only in the 32-character form; 31 characters keep the time as written.
      {"Thu, 01 Jan 2009 09:34:56 +0300", "2009:01:0109:34:56"},
      {"Thu, 01 Jan 2009 09:34:56 +0300 ", "2009:01:0106:34:56"},
      {"Thu, 01 Jan 2009 09:34:56 -0530 ", "2009:01:0115:04:56"},
      {"Thu, 01 Jan 2009 09:34:56 GMT", "2009:01:0109:34:56"},
      // Zone digits that are no number count as 0 (":0" of "+03:00" too).
      {"Thu, 01 Jan 2009 09:34:56 +03:00", "2009:01:0106:34:56"},
      {"Thu, 01 Jan 2009 09:34:56 +ab30 ", "2009:01:0109:04:56"},
      // The shift crosses day, month and year, leap days included.
      {"Thu, 01 Jan 2009 01:00:00 +0300 ", "2008:12:3122:00:00"},
      {"Sat, 28 Feb 2004 23:30:00 -0100 ", "2004:02:2900:30:00"},
      {"Sun, 31 Dec 2023 23:00:00 -0200 ", "2024:01:0101:00:00"},
      // The weekday is optional and never examined.
      {"01 Jan 2009 09:34:56 +0300 ", "2009:01:0106:34:56"},
      {"Xyz, 05 Mar 2010 10:00:00 GMT", "2010:03:0510:00:00"},
      // Without seconds, the field where they stand reads "+0".
      {"Mon, 06 Dec 2026 21:00 +0300", "2026:12:0621:00:00"},
  };
  for (const auto& [date, expected] : cases) {
    std::string text;
    EXPECT_TRUE(NormaliseDate(date, text)) << date;
    EXPECT_EQ(text, expected) << date;
  }
}

TEST(NormaliseDate, WrongShapeGivesEmptyTextAndMalformedFieldsTheCurrentTime) {
  for (const char* bad : {"01 Jan 2009 09:34", "", "Thu, 1 Jan 2009 09:34:56 +0300",
                          "01 Jan 2009, 09:34:56 +0300", "Thursday, 01 Jan 2009 09:34:56"}) {
    std::string text = "unchanged";
    EXPECT_FALSE(NormaliseDate(bad, text)) << bad;
    EXPECT_EQ(text, "") << bad;
  }
  for (const char* bad : {"Thu, 01 jan 2009 09:34:56 +0300", "Thu, 31 Apr 2009 09:34:56 +0300",
                          "Thu, 29 Feb 2021 09:34:56 +0300", "Thu, 01 Jan 2009 24:00:00 +0300",
                          "Thu, 01 Jan 2009 09:60:00 +0300", "Thu, 0x Jan 2009 09:34:56 +0300",
                          "Thu, 01 Jan 2009 09:34:56 +2400 ", "Thu, 01 Jan 2009 09:34:56 +0060 ",
                          "Thu, 31 Dec 9999 23:30:00 -0100 ", "Mon, 01 Jan 0001 00:30:00 +0100 ",
                          "Thu, 01 Jan 2009 -1:00:00 GMT", "Thu, 01 Jan 2009 09:34:56 +-100 ",
                          "Thu, 01 Jan 2009 09:"}) {  // the last: 20 characters, fields cut short
    std::string text;
    EXPECT_FALSE(NormaliseDate(bad, text)) << bad;
    // Allow for a clock tick between.
    const std::string now = FormatNormalised(CurrentLocalDateTime());
    ASSERT_EQ(text.size(), 18u) << bad;
    EXPECT_LE(text.substr(0, 10), now.substr(0, 10)) << bad;
    EXPECT_GE(text.substr(0, 8), now.substr(0, 8)) << bad;
  }
}

TEST(ParseDate, LeavesTheValueOnShapeFailureAndSetsNowWhenMalformed) {
  DateTime v{1999, 9, 9, 9, 9, 9};
  EXPECT_FALSE(ParseDate("too short", v));
  EXPECT_EQ(v, (DateTime{1999, 9, 9, 9, 9, 9}));
  EXPECT_FALSE(ParseDate("Thu, 01 Foo 2009 09:34:56 GMT", v));
  EXPECT_GE(v.year, 2024);
  EXPECT_TRUE(ParseDate("Thu, 01 Jan 2009 09:34:56 +0300 ", v));
  EXPECT_EQ(v, (DateTime{2009, 1, 1, 6, 34, 56}));
}

}  // namespace
}  // namespace vorlin
