// Publication dates of feed items and their normalised, sortable form "yyyy:mm:ddhh:nn:ss".
//
// Read are the date-times of RFC 5322 and RFC 822 ("Fri, 5 Sep 2008 01:30:00 GMT": an optional
// weekday with or without its comma, which is never examined; a day of one or two digits; the
// month's abbreviation or full English name in any letter case; a year of two, three or four
// digits; seconds optional; a numeric zone, or UT, UTC, GMT, Z, EST, EDT, CST, CDT, MST, MDT, PST,
// PDT; a trailing comment in parentheses) with any white space around and between the fields,
// and ISO 8601 / RFC 3339 date-times ("2019-01-07T13:51:00Z", "2019-01-07 13:51:00.5+03:00",
// also a date alone). A date with a known zone is an instant and is given in the machine's local
// time; a date without a zone, or with a zone name not listed above, is taken as written.
#pragma once

#include <string>
#include <string_view>

namespace vorlin {

struct DateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool operator==(const DateTime&) const = default;
};

DateTime CurrentLocalDateTime();

// "yyyy:mm:ddhh:nn:ss", 18 characters.
std::string FormatNormalised(const DateTime& value);

// On success returns true and the normalised text. Text that is not laid out as a date at all
// (no day, month, year and time of day in their places) gives false and an empty text; a date
// with a field out of range or unknown (31 April, hour 24, a month name in another language, a
// zone beyond 23:59, anything after the zone but a comment) gives false and the current local
// date and time.
bool NormaliseDate(std::string_view text, std::string& normalised);

// On success returns true and the value. Text that is not laid out as a date gives false and
// leaves `value` unchanged; a malformed date gives false and the current local time.
bool ParseDate(std::string_view text, DateTime& value);

}  // namespace vorlin
