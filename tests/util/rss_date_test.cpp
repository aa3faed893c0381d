// Run by CTest three times: in the machine's zone, as Europe/Moscow and as America/New_York.
#include "util/rss_date.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace vorlin {
namespace {

// The local reading of a UTC instant, by the system's own conversion.
std::string LocalOf(int y, int mo, int d, int h, int mi, int s) {
  std::tm tm{};
  tm.tm_year = y - 1900, tm.tm_mon = mo - 1, tm.tm_mday = d, tm.tm_hour = h, tm.tm_min = mi;
  tm.tm_sec = s;
  const std::time_t t = timegm(&tm);
  localtime_r(&t, &tm);
  return FormatNormalised(
      {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec});
}

TEST(RssDate, ReadsTheFormsFeedsWriteAndGivesZonedDatesInLocalTime) {
  const std::pair<const char*, std::string> cases[] = {
      // The five forms of real feeds.
      {"Fri, 5 Sep 2008 01:30:00 GMT", LocalOf(2008, 9, 5, 1, 30, 0)},
      {"Fri 19 Nov 2010 01:30:00 GMT", LocalOf(2010, 11, 19, 1, 30, 0)},
      {"Fri, 23 December 2011 10:00:00 EST", LocalOf(2011, 12, 23, 15, 0, 0)},
      {"Fri, 23 Mar 2012 10:00:00 +0000", LocalOf(2012, 3, 23, 10, 0, 0)},
      {"\r\n Mon, 07 Jan 2019 13:51:00 +0100 \t", LocalOf(2019, 1, 7, 12, 51, 0)},
      // The zone counts whatever the length: 31 characters, 32 with a blank, glued on.
      {"Thu, 01 Jan 2009 09:34:56 +0300", LocalOf(2009, 1, 1, 6, 34, 56)},
      {"Thu, 01 Jan 2009 09:34:56 +0300 ", LocalOf(2009, 1, 1, 6, 34, 56)},
      {"Thu, 01 Jan 2009 09:34:56-0530", LocalOf(2009, 1, 1, 15, 4, 56)},
      // Letter case, two- and three-digit years, no seconds, -0000, named zones, a comment.
      {"thu, 01 JAN 09 09:34 -0000", LocalOf(2009, 1, 1, 9, 34, 0)},
      {"01 jan 50 09:34:56 PDT", LocalOf(1950, 1, 1, 16, 34, 56)},
      {"Sat, 28 Feb 104 23:30:00 CDT", LocalOf(2004, 2, 29, 4, 30, 0)},
      {"Sun,31  Dec 2023 23:00:00 -0200", LocalOf(2024, 1, 1, 1, 0, 0)},
      {"Mon, 06 Dec 2026 21:00 +03:00", LocalOf(2026, 12, 6, 18, 0, 0)},
      {"Tue, 1 Jul 2003 10:52:37 +0200 (CEST)", LocalOf(2003, 7, 1, 8, 52, 37)},
      {"Thu, 01 Jan 2009 9:34:56 ut", LocalOf(2009, 1, 1, 9, 34, 56)},
      {"Sun, 08 Mar 2026 12:00:00 GMT", LocalOf(2026, 3, 8, 12, 0, 0)},  // summer time begins
      // ISO 8601 / RFC 3339.
      {"2019-01-07T13:51:00Z", LocalOf(2019, 1, 7, 13, 51, 0)},
      {" 2019-01-07t13:51:00.250+03:00", LocalOf(2019, 1, 7, 10, 51, 0)},
      {"2019-01-07 13:51:00-0800", LocalOf(2019, 1, 7, 21, 51, 0)},
      // No zone, or a name not known: as written.
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
    DateTime value;
    EXPECT_TRUE(ParseDate(date, value)) << date;
    EXPECT_EQ(FormatNormalised(value), text) << date;
  }
  // In these two zones a date falls on another local day than its written one.
  const char* zone = std::getenv("TZ");
  if (zone != nullptr && std::string(zone) == "America/New_York") {
    EXPECT_EQ(cases[0].second, "2008:09:0421:30:00");  // Fri, 5 Sep 2008 01:30:00 GMT
  } else if (zone != nullptr && std::string(zone) == "Europe/Moscow") {
    EXPECT_EQ(cases[11].second, "2024:01:0104:00:00");  // Sun,31  Dec 2023 23:00:00 -0200
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
    EXPECT_EQ(text.substr(0, 8), now.substr(0, 8)) << bad;
    EXPECT_EQ(FormatNormalised(v).substr(0, 8), now.substr(0, 8)) << bad;
  }
}

}  // namespace
}  // namespace vorlin
