// The date reading before dates were read as feeds write them (fixed positions, a zone only in
// the 32-character form), kept only as the reference of bench/date_sort_bench.sh: the benchmark
// links it into a second build of the same sort.
#include <array>
#include <cstdio>
#include <ctime>

#include "util/rss_date.h"

namespace vorlin {
namespace {

enum class Outcome { kOk, kShapeFailed, kMalformed };

// Reads a field as a signed decimal integer: leading blanks allowed, then an optional sign and
// at least one digit. A time without seconds ("21:00 +0300") has "+0" where the seconds stand.
bool ReadNumber(std::string_view field, int& value) {
  size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  const bool negative = i < field.size() && field[i] == '-';
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) ++i;
  if (i == field.size()) return false;
  int v = 0;
  for (; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') return false;
    v = v * 10 + (field[i] - '0');
  }
  value = negative ? -v : v;
  return true;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

Outcome Parse(std::string_view input, DateTime& out) {
  if (input.size() < 20) return Outcome::kShapeFailed;
  // Copied only when the weekday is missing: sorting parses every date of a search.
  std::string prefixed;
  std::string_view text = input;
  if (text.find(", ") == std::string_view::npos) {
    prefixed = "Thu, " + std::string(input);
    text = prefixed;
  }
  if (text.size() < 12 || text[3] != ',' || text[4] != ' ' || text[7] != ' ' || text[11] != ' ')
    return Outcome::kShapeFailed;

  auto field = [&](size_t pos1, size_t len) {
    return pos1 - 1 < text.size() ? std::string_view(text).substr(pos1 - 1, len)
                                  : std::string_view();
  };
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  DateTime v;
  std::string_view monthName = field(9, 3);
  for (size_t i = 0; i < kMonths.size(); ++i) {
    if (monthName == kMonths[i]) v.month = static_cast<int>(i) + 1;
  }
  if (v.month == 0) return Outcome::kMalformed;
  if (!ReadNumber(field(6, 2), v.day) || !ReadNumber(field(13, 4), v.year) ||
      !ReadNumber(field(18, 2), v.hour) || !ReadNumber(field(21, 2), v.minute) ||
      !ReadNumber(field(24, 2), v.second))
    return Outcome::kMalformed;
  if (v.year < 1 || v.day < 1 || v.day > DaysInMonth(v.year, v.month) || v.hour < 0 ||
      v.hour > 23 || v.minute < 0 || v.minute > 59 || v.second < 0 || v.second > 59)
    return Outcome::kMalformed;

  if (text.size() == 32 && (text[26] == '+' || text[26] == '-')) {
    int zoneHours = 0;
    int zoneMinutes = 0;
    if (!ReadNumber(field(28, 2), zoneHours)) zoneHours = 0;
    if (!ReadNumber(field(30, 2), zoneMinutes)) zoneMinutes = 0;
    if (zoneHours < 0 || zoneHours >= 24 || zoneMinutes < 0 || zoneMinutes >= 60) {
      return Outcome::kMalformed;
    }
    long long offset = (zoneHours * 60LL + zoneMinutes) * 60;
    long long seconds = DaysFromCivil(v.year, v.month, v.day) * 86400LL + v.hour * 3600LL +
                        v.minute * 60LL + v.second;
    seconds += text[26] == '+' ? -offset : offset;
    long long days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    long long rest = seconds - days * 86400;
    CivilFromDays(days, v.year, v.month, v.day);
    v.hour = static_cast<int>(rest / 3600);
    v.minute = static_cast<int>(rest % 3600 / 60);
    v.second = static_cast<int>(rest % 60);
    // Shifted past the four-digit years, the text would no longer sort as a date.
    if (v.year < 1 || v.year > 9999) return Outcome::kMalformed;
  }
  out = v;
  return Outcome::kOk;
}

}  // namespace

DateTime CurrentLocalDateTime() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string FormatNormalised(const DateTime& v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d:%02d:%02d%02d:%02d:%02d", v.year, v.month, v.day, v.hour,
                v.minute, v.second);
  return buf;
}

bool NormaliseDate(std::string_view text, std::string& normalised) {
  DateTime value;
  switch (Parse(text, value)) {
    case Outcome::kOk:
      normalised = FormatNormalised(value);
      return true;
    case Outcome::kShapeFailed:
      normalised.clear();
      return false;
    case Outcome::kMalformed:
      break;
  }
  normalised = FormatNormalised(CurrentLocalDateTime());
  return false;
}

bool ParseDate(std::string_view text, DateTime& value) {
  DateTime parsed;
  switch (Parse(text, parsed)) {
    case Outcome::kOk:
      value = parsed;
      return true;
    case Outcome::kShapeFailed:
      return false;
    case Outcome::kMalformed:
      break;
  }
  value = CurrentLocalDateTime();
  return false;
}

}  // namespace vorlin
