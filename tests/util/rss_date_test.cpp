#include "util/rss_date.h"

#include <gtest/gtest.h>

namespace vorlin {
namespace {

struct Normalised {
  bool ok;
  std::string text;
};

Normalised Normalise(const std::string& date) {
  Normalised n{false, "unchanged"};
  n.ok = NormaliseDate(date, n.text);
  return n;
}

// A malformed date falls back to the current local time; allow for a clock tick between.
void ExpectNow(const Normalised& n) {
  EXPECT_FALSE(n.ok);
  ASSERT_EQ(n.text.size(), 18u);
  std::string before = FormatNormalised(CurrentLocalDateTime());
  EXPECT_LE(n.text.substr(0, 10), before.substr(0, 10));
  EXPECT_GE(n.text.substr(0, 8), before.substr(0, 8));
}

TEST(NormaliseDate, ZoneCountsOnlyInTheThirtyTwoCharacterForm) {
  EXPECT_EQ(Normalise("Thu, 01 Jan 2009 09:34:56 +0300").text, "2009:01:0109:34:56");
  EXPECT_TRUE(Normalise("Thu, 01 Jan 2009 09:34:56 +0300").ok);
  EXPECT_EQ(Normalise("Thu, 01 Jan 2009 09:34:56 +0300 ").text, "2009:01:0106:34:56");
  EXPECT_EQ(Normalise("Thu, 01 Jan 2009 09:34:56 -0530 ").text, "2009:01:0115:04:56");
  EXPECT_EQ(Normalise("Thu, 01 Jan 2009 09:34:56 GMT").text, "2009:01:0109:34:56");
  // 32 characters: the zone minutes ":0" are no number and count as 0.
  EXPECT_EQ(Normalise("Thu, 01 Jan 2009 09:34:56 +03:00").text, "2009:01:0106:34:56");
}

TEST(NormaliseDate, ZoneShiftCrossesDayMonthAndYear) {
  EXPECT_EQ(Normalise("Thu, 01 Jan 2009 01:00:00 +0300 ").text, "2008:12:3122:00:00");
  EXPECT_EQ(Normalise("Sat, 28 Feb 2004 23:30:00 -0100 ").text, "2004:02:2900:30:00");
  EXPECT_EQ(Normalise("Sun, 31 Dec 2023 23:00:00 -0200 ").text, "2024:01:0101:00:00");
}

TEST(NormaliseDate, WeekdayIsOptionalAndNeverExamined) {
  EXPECT_EQ(Normalise("01 Jan 2009 09:34:56 +0300").text, "2009:01:0109:34:56");
  EXPECT_EQ(Normalise("01 Jan 2009 09:34:56 +0300 ").text, "2009:01:0106:34:56");
  EXPECT_EQ(Normalise("Xyz, 05 Mar 2010 10:00:00 GMT").text, "2010:03:0510:00:00");
}

TEST(NormaliseDate, WrongShapeGivesFalseAndEmptyText) {
  for (const char* bad : {"01 Jan 2009 09:34", "", "Thu, 1 Jan 2009 09:34:56 +0300",
                          "01 Jan 2009, 09:34:56 +0300", "Thursday, 01 Jan 2009 09:34:56"}) {
    Normalised n = Normalise(bad);
    EXPECT_FALSE(n.ok) << bad;
    EXPECT_EQ(n.text, "") << bad;
  }
}

TEST(NormaliseDate, MalformedFieldsGiveFalseAndTheCurrentTime) {
  ExpectNow(Normalise("Thu, 01 jan 2009 09:34:56 +0300"));  // month in lower case
  ExpectNow(Normalise("Thu, 31 Apr 2009 09:34:56 +0300"));
  ExpectNow(Normalise("Thu, 29 Feb 2021 09:34:56 +0300"));
  ExpectNow(Normalise("Thu, 01 Jan 2009 24:00:00 +0300"));
  ExpectNow(Normalise("Thu, 01 Jan 2009 09:60:00 +0300"));
  ExpectNow(Normalise("Thu, 0x Jan 2009 09:34:56 +0300"));
  ExpectNow(Normalise("Thu, 01 Jan 2009 09:34:56 +2400 "));
  ExpectNow(Normalise("Thu, 01 Jan 2009 09:34:56 +0060 "));
  ExpectNow(Normalise("Thu, 01 Jan 2009 09:"));  // 20 characters, fields cut short
  EXPECT_EQ(Normalise("Sat, 29 Feb 2020 09:34:56 GMT").text, "2020:02:2909:34:56");
}

TEST(NormaliseDate, ZoneDigitsThatAreNotNumbersCountAsZero) {
  EXPECT_EQ(Normalise("Thu, 01 Jan 2009 09:34:56 +ab30 ").text, "2009:01:0109:04:56");
  EXPECT_EQ(Normalise("Thu, 01 Jan 2009 09:34:56 +02xx ").text, "2009:01:0107:34:56");
}

TEST(NormaliseDate, NormalisedTextsSortChronologically) {
  std::string a, b, c;
  NormaliseDate("Mon, 02 Mar 2009 09:00:00 GMT", a);
  NormaliseDate("Tue, 10 Feb 2009 23:59:59 GMT", b);
  NormaliseDate("Wed, 01 Jan 2010 00:00:00 GMT", c);
  EXPECT_LT(b, a);
  EXPECT_LT(a, c);
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
