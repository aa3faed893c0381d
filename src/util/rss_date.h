// Publication dates of RSS items (RFC 822 text read at fixed positions) and their normalised,
// sortable form "yyyy:mm:ddhh:nn:ss".
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

// On success returns true and the normalised text. Text too short or without the fixed
// separators gives false and an empty text; a malformed field gives false and the current
// local date and time.
bool NormaliseDate(std::string_view text, std::string& normalised);

// On success returns true and the value (in universal time when the text carries a numeric
// zone in the 32-character form). Text too short or without the fixed separators gives false
// and leaves `value` unchanged; a malformed field gives false and the current local time.
bool ParseDate(std::string_view text, DateTime& value);

}  // namespace vorlin
