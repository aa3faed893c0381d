// Run by CTest three times: in the machine's zone, as Europe/Moscow and as America/New_York.
#include "util/rss_date.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace vorlin {
namespace {

// The local reading of a UTC instant "yyyy-mm-dd hh:mm:ss", by the system's own conversion.
std::string LocalOf(const char* utc) {
  std::tm tm{};
  std::sscanf(utc, "%d-%d-%d %d:%d:%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
              &tm.tm_min, &tm.tm_sec);
  tm.tm_year -= 1900;
  tm.tm_mon -= 1;
  const std::time_t t = timegm(&tm);
  std::tm local{};
  localtime_r(&t, &local);
  return FormatNormalised({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min, local.tm_sec});
}

std::string Zone() {
  const char* tz = std::getenv("TZ");
  return tz != nullptr ? tz : "";
}

TEST(RssDate, ZonedDatesAreInstantsInLocalTime) {
  const std::pair<const char*, const char*> cases[] = {
      // The five forms of real feeds.
      {"Fri, 5 Sep 2008 01:30:00 GMT", "2008-09-05 01:30:00"},
      {"Fri 19 Nov 2010 01:30:00 GMT", "2010-11-19 01:30:00"},
      {"Fri, 23 December 2011 10:00:00 EST", "2011-12-23 15:00:00"},
      {"Fri, 23 Mar 2012 10:00:00 +0000", "2012-03-23 10:00:00"},
      {"\r\n Mon, 07 Jan 2019 13:51:00 +0100 \t", "2019-01-07 12:51:00"},
      // Any length: the zone counts with or without a trailing blank.
      {"Thu, 01 Jan 2009 09:34:56 +0300", "2009-01-01 06:34:56"},
      {"Thu, 01 Jan 2009 09:34:56 +0300 ", "2009-01-01 06:34:56"},
      // Letter case, two- and three-digit years, no seconds, -0000, named zones, a comment.
      {"thu, 01 JAN 09 09:34 -0000", "2009-01-01 09:34:00"},
      {"01 jan 99 09:34:56 PDT", "1999-01-01 16:34:56"},
      {"Sat, 28 Feb 104 23:30:00 CDT", "2004-02-29 04:30:00"},
      {"Sun,31  Dec 2023 23:00:00 -0200", "2024-01-01 01:00:00"},
      {"Mon, 06 Dec 2026 21:00 +03:00", "2026-12-06 18:00:00"},
      {"Tue, 1 Jul 2003 10:52:37 +0200 (CEST)", "2003-07-01 08:52:37"},
      {"Thu, 01 Jan 2009 9:34:56 ut", "2009-01-01 09:34:56"},
      {"Thu, 01 Jan 2009 09:34:56-0530", "2009-01-01 15:04:56"},
      // ISO 8601 / RFC 3339.
      {"2019-01-07T13:51:00Z", "2019-01-07 13:51:00"},
      {" 2019-01-07t13:51:00.250+03:00", "2019-01-07 10:51:00"},
      {"2019-01-07 13:51:00-0800", "2019-01-07 21:51:00"},
  };
  for (const auto& [date, utc] : cases) {
    std::string text;
    EXPECT_TRUE(NormaliseDate(date, text)) << date;
    EXPECT_EQ(text, LocalOf(utc)) << date << " in " << Zone();
    DateTime value;
    EXPECT_TRUE(ParseDate(date, value)) << date;
    EXPECT_EQ(FormatNormalised(value), text) << date;
  }
  // The local day differs from the day as written.
  std::string text;
  if (Zone() == "America/New_York") {
    EXPECT_TRUE(NormaliseDate("Fri, 5 Sep 2008 01:30:00 GMT", text));
    EXPECT_EQ(text, "2008:09:0421:30:00");
  } else if (Zone() == "Europe/Moscow") {
    EXPECT_TRUE(NormaliseDate("Mon, 07 Jan 2019 22:30:00 +0000", text));
    EXPECT_EQ(text, "2019:01:0801:30:00");
  }
}

TEST(RssDate, DatesWithoutAKnownZoneAreTakenAsWritten) {
  const std::pair<const char*, const char*> cases[] = {
      {"Thu, 01 Jan 2009 09:34:56", "2009:01:0109:34:56"},
      {"Thu, 01 Jan 2009 09:34:56 MSK", "2009:01:0109:34:56"},
      {"Xyz, 5 mar 2010 10:00:00 GMT+3", "2010:03:0510:00:00"},
      {"Thursday , 01 Jan 2009 23:34:56", "2009:01:0123:34:56"},
      {"2019-01-07 13:51", "2019:01:0713:51:00"},
      {"2019-01-07", "2019:01:0700:00:00"},
  };
  for (const auto& [date, expected] : cases) {
    std::string text;
    EXPECT_TRUE(NormaliseDate(date, text)) << date;
    EXPECT_EQ(text, expected) << date;
  }
}

TEST(RssDate, FailuresGiveAnEmptyTextOrTheCurrentTime) {
  // Not laid out as a date: false, an empty text, the value untouched.
  for (const char* bad : {"", " \r\n", "not a date", "Thu, 01 Jan 2009", "01 02 2009 10:00:00",
                          "some text of many words that is no date at all"}) {
    std::string text = "unchanged";
    EXPECT_FALSE(NormaliseDate(bad, text)) << bad;
    EXPECT_EQ(text, "") << bad;
    DateTime v{1999, 9, 9, 9, 9, 9};
    EXPECT_FALSE(ParseDate(bad, v));
    EXPECT_EQ(v, (DateTime{1999, 9, 9, 9, 9, 9})) << bad;
  }
  // Malformed: false and the current local date and time.
  for (const char* bad : {"Thu, 31 Apr 2009 09:34:56 +0300", "Thu, 29 Feb 2021 09:34:56 GMT",
                          "Thu, 01 Jan 2009 24:00:00 GMT", "Thu, 01 Jan 2009 09:60:00 +0300",
                          "Thu, 01 Mrz 2009 09:34:56 +0300", "Thu, 01 \xDF\xED\xE2 2009 09:34:56",
                          "Thu, 0x Jan 2009 09:34:56 +0300", "Thu, 001 Jan 2009 09:34:56 GMT",
                          "Thu, 01 Jan 2009 09:34:56 +2400", "Thu, 01 Jan 2009 09:34:56 +0060",
                          "Thu, 01 Jan 2009 09:34:56 +ab30", "Thu, 01 Jan 2009 -1:00:00 GMT",
                          "Fri, 31 Dec 9999 23:30:00 -1100", "Mon, 01 Jan 0001 00:30:00 +1100",
                          "Thu, 01 Jan 2009 09:34:56 +0300 extra", "Thu, 01 Jan 2009 09:3",
                          "2019-13-07T10:00:00Z", "2019-01-07T10:00:00+25:00", "2019-01-07X10"}) {
    std::string text;
    EXPECT_FALSE(NormaliseDate(bad, text)) << bad;
    DateTime v;
    EXPECT_FALSE(ParseDate(bad, v)) << bad;
    // Allow for a clock tick between.
    const std::string now = FormatNormalised(CurrentLocalDateTime());
    ASSERT_EQ(text.size(), 18u) << bad;
    EXPECT_LE(text.substr(0, 10), now.substr(0, 10)) << bad;
    EXPECT_GE(text.substr(0, 8), now.substr(0, 8)) << bad;
    EXPECT_EQ(FormatNormalised(v).substr(0, 8), now.substr(0, 8)) << bad;
  }
}

}  // namespace
}  // namespace vorlin
