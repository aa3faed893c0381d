#include "util/rss_date.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <utility>

namespace vorlin {
namespace {

enum class Outcome { kOk, kNotADate, kMalformed };

// What the text says: the fields as written and, for a known zone, its offset from UTC.
struct Written {
  DateTime v;
  bool zoned = false;
  int offsetSeconds = 0;
};

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlpha(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

bool AllDigits(std::string_view s) {
  for (char c : s) {
    if (!IsDigit(c)) return false;
  }
  return !s.empty();
}

// The value of 1 to 4 digits; -1 for anything else.
int Number(std::string_view s) {
  if (s.empty() || s.size() > 4 || !AllDigits(s)) return -1;
  int v = 0;
  for (char c : s) v = v * 10 + (c - '0');
  return v;
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

long long FloorDiv(long long a, long long b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

int UtcOffsetAt(long long seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (localtime_r(&t, &tm) == nullptr) return 0;
  return static_cast<int>(tm.tm_gmtoff);
}

// The local offset at a UTC instant. Offsets are looked up once per day of UTC and kept: sorting
// a search converts every date, and the system's conversion costs far more than the parse. A day
// whose first and last second have different offsets holds a change, and its instants are looked
// up one by one.
int LocalOffset(long long seconds) {
  // Zero-initialised, so that no thread pays for constructing it on every access: a day is kept
  // as day + kBias, never 0.
  struct Day {
    long long key;
    int offset;
  };
  constexpr long long kBias = 1LL << 40;
  thread_local std::array<Day, 8192> cache;  // 22 years without two days on one entry
  const long long day = FloorDiv(seconds, 86400);
  Day& slot = cache[static_cast<size_t>(day) & (cache.size() - 1)];
  if (slot.key == day + kBias) return slot.offset;
  const int first = UtcOffsetAt(day * 86400);
  if (first != UtcOffsetAt(day * 86400 + 86399)) return UtcOffsetAt(seconds);
  slot = {day + kBias, first};
  return first;
}

// The month of an abbreviation or a full English name, any letter case; 0 for anything else.
int MonthNumber(std::string_view name) {
  static constexpr std::array<const char*, 12> kNames = {
      "january", "february", "march",     "april",   "may",      "june",
      "july",    "august",   "september", "october", "november", "december"};
  if (name.size() < 3 || name.size() > 9) return 0;
  char lower[9];
  for (size_t i = 0; i < name.size(); ++i) {
    if (!IsAlpha(name[i])) return 0;
    lower[i] = static_cast<char>(name[i] | 0x20);
  }
  const std::string_view low(lower, name.size());
  for (size_t m = 0; m < kNames.size(); ++m) {
    const std::string_view full = kNames[m];
    if (low == full || (low.size() == 3 && full.substr(0, 3) == low))
      return static_cast<int>(m) + 1;
  }
  return 0;
}

// The month of three letters, any letter case; 0 for anything else.
int MonthOf3(const char* p) {
  static constexpr std::array<const char*, 12> kNames = {"jan", "feb", "mar", "apr", "may", "jun",
                                                         "jul", "aug", "sep", "oct", "nov", "dec"};
  if (!IsAlpha(p[0]) || !IsAlpha(p[1]) || !IsAlpha(p[2])) return 0;
  const char a = static_cast<char>(p[0] | 0x20);
  const char b = static_cast<char>(p[1] | 0x20);
  const char c = static_cast<char>(p[2] | 0x20);
  for (size_t m = 0; m < kNames.size(); ++m) {
    if (kNames[m][0] == a && kNames[m][1] == b && kNames[m][2] == c) return static_cast<int>(m) + 1;
  }
  return 0;
}

constexpr uint32_t ZoneKey(std::string_view name) {
  uint32_t key = 0;
  for (char c : name) key = key << 8 | static_cast<unsigned char>(c | 0x20);
  return key;
}

// The offset of a zone name in seconds, any letter case; false for a name not listed (taken as
// written).
bool NamedZone(std::string_view name, int& offset) {
  static constexpr std::pair<uint32_t, int> kZones[] = {
      {ZoneKey("ut"), 0},   {ZoneKey("utc"), 0},  {ZoneKey("gmt"), 0},  {ZoneKey("z"), 0},
      {ZoneKey("est"), -5}, {ZoneKey("edt"), -4}, {ZoneKey("cst"), -6}, {ZoneKey("cdt"), -5},
      {ZoneKey("mst"), -7}, {ZoneKey("mdt"), -6}, {ZoneKey("pst"), -8}, {ZoneKey("pdt"), -7}};
  if (name.size() > 3) return false;
  const uint32_t key = ZoneKey(name);
  for (const auto& [zone, hours] : kZones) {
    if (zone == key) {
      offset = hours * 3600;
      return true;
    }
  }
  return false;
}

// "+hhmm", "+hh:mm" or "+hh" (and "-"); false when malformed.
bool NumericZone(std::string_view s, int& offset) {
  const int sign = s[0] == '-' ? -1 : 1;
  s.remove_prefix(1);
  int hours = -1;
  int minutes = 0;
  if (s.size() == 4) {
    hours = Number(s.substr(0, 2));
    minutes = Number(s.substr(2));
  } else if (s.size() == 5 && s[2] == ':') {
    hours = Number(s.substr(0, 2));
    minutes = Number(s.substr(3));
  } else if (s.size() == 2) {
    hours = Number(s);
  }
  if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59) return false;
  offset = sign * (hours * 3600 + minutes * 60);
  return true;
}

// A zone glued to the time or standing alone. Unknown names are taken as written.
Outcome ReadZone(std::string_view s, Written& w) {
  if (s.empty()) return Outcome::kOk;
  if (s[0] == '+' || s[0] == '-') {
    if (!NumericZone(s, w.offsetSeconds)) return Outcome::kMalformed;
    w.zoned = true;
    return Outcome::kOk;
  }
  if (!IsAlpha(s[0])) return Outcome::kMalformed;
  w.zoned = NamedZone(s, w.offsetSeconds);
  return Outcome::kOk;
}

// "h:mm", "hh:mm:ss", "hh:mm:ss.fff" at the start of `s`; the rest (a glued zone) is left in `s`.
bool ReadTime(std::string_view& s, DateTime& v, bool fraction) {
  size_t colon = s.find(':');
  if (colon == 0 || colon > 2) return false;
  v.hour = Number(s.substr(0, colon));
  s.remove_prefix(colon + 1);
  if (s.size() < 2 || (v.minute = Number(s.substr(0, 2))) < 0) return false;
  s.remove_prefix(2);
  if (!s.empty() && s[0] == ':') {
    if (s.size() < 3 || (v.second = Number(s.substr(1, 2))) < 0) return false;
    s.remove_prefix(3);
    if (fraction && !s.empty() && (s[0] == '.' || s[0] == ',')) {
      size_t digits = 1;
      while (digits < s.size() && IsDigit(s[digits])) ++digits;
      if (digits == 1) return false;
      s.remove_prefix(digits);
    }
  }
  return v.hour >= 0;
}

// The form nearly every feed writes, "Thu, 01 Jan 2009 09:34:56 +0300", at fixed positions: the
// sort reads every date of a search. False, with `w` unusable, sends the text to `ReadRfc`, which
// reads this form the same way.
bool ReadUsual(std::string_view s, Written& w) {
  if (s.size() < 25 || s[3] != ',' || s[4] != ' ' || s[7] != ' ' || s[11] != ' ' || s[16] != ' ' ||
      s[19] != ':' || s[22] != ':' || !IsAlpha(s[0]) || !IsAlpha(s[1]) || !IsAlpha(s[2])) {
    return false;
  }
  // Each digit's value, and whether any is none.
  unsigned bad = 0;
  auto two = [&](size_t at) {
    const unsigned tens = static_cast<unsigned char>(s[at]) - '0';
    const unsigned ones = static_cast<unsigned char>(s[at + 1]) - '0';
    bad |= (tens > 9) | (ones > 9);
    return static_cast<int>(tens * 10 + ones);
  };
  w.v.day = two(5);
  w.v.year = two(12) * 100 + two(14);
  w.v.hour = two(17);
  w.v.minute = two(20);
  w.v.second = two(23);
  if (bad != 0) return false;
  if ((w.v.month = MonthOf3(s.data() + 8)) == 0) return false;
  if (s.size() == 25) return true;
  const std::string_view zone = s.substr(26);
  if (s[25] != ' ' || zone.empty()) return false;
  if (zone.size() == 5 && (zone[0] == '+' || zone[0] == '-')) {  // "+hhmm"
    const int hh = two(27);
    const int mm = two(29);
    if (bad != 0 || hh > 23 || mm > 59) return false;
    w.zoned = true;
    w.offsetSeconds = (zone[0] == '-' ? -1 : 1) * (hh * 3600 + mm * 60);
    return true;
  }
  for (char c : zone) {
    if (IsSpace(c) || c == '(') return false;
  }
  return ReadZone(zone, w) == Outcome::kOk;
}

// ISO 8601 / RFC 3339: "yyyy-mm-dd", then optionally "T" (or a blank) and the time and zone.
Outcome ReadIso(std::string_view s, Written& w) {
  if (s.size() < 10 || s[7] != '-') return Outcome::kMalformed;
  w.v.year = Number(s.substr(0, 4));
  w.v.month = Number(s.substr(5, 2));
  w.v.day = Number(s.substr(8, 2));
  if (w.v.month < 0 || w.v.day < 0) return Outcome::kMalformed;
  s.remove_prefix(10);
  if (s.empty()) return Outcome::kOk;
  if (s[0] != 'T' && s[0] != 't' && s[0] != ' ') return Outcome::kMalformed;
  s.remove_prefix(1);
  if (!ReadTime(s, w.v, true)) return Outcome::kMalformed;
  if (!s.empty() && s != "Z" && s != "z" && s[0] != '+' && s[0] != '-') return Outcome::kMalformed;
  return ReadZone(s, w);
}

// RFC 5322: [weekday[,]] day month year time [zone] [(comment)], fields split by white space.
Outcome ReadRfc(std::string_view s, Written& w) {
  std::array<std::string_view, 5> f;
  size_t count = 0;
  bool more = false;  // fields beyond the zone
  size_t i = 0;
  // The weekday: letters up to a comma or white space, never examined.
  if (IsAlpha(s[0])) {
    while (i < s.size() && IsAlpha(s[i])) ++i;
    while (i < s.size() && IsSpace(s[i])) ++i;
    if (i < s.size() && s[i] == ',') ++i;
  }
  while (i < s.size()) {
    while (i < s.size() && IsSpace(s[i])) ++i;
    if (i == s.size()) break;
    if (s[i] == '(' && count >= 4) {  // a comment ends the date
      more = more || s.back() != ')';
      break;
    }
    const size_t start = i;
    while (i < s.size() && !IsSpace(s[i])) ++i;
    if (count == f.size()) {
      more = true;
      break;
    }
    f[count++] = s.substr(start, i - start);
  }
  // Laid out as a date: a day, a month (a name in any language), a year and a time of day.
  if (count < 4 || !IsDigit(f[0][0]) || IsDigit(f[1][0]) || !IsDigit(f[2][0]) ||
      f[3].find(':') == std::string_view::npos) {
    return Outcome::kNotADate;
  }
  if (more) return Outcome::kMalformed;
  if (f[0].size() > 2 || (w.v.day = Number(f[0])) < 0) return Outcome::kMalformed;
  if ((w.v.month = MonthNumber(f[1])) == 0) return Outcome::kMalformed;
  if (f[2].size() < 2 || (w.v.year = Number(f[2])) < 0) return Outcome::kMalformed;
  // Two-digit years 00 to 49 are 2000 to 2049, 50 to 99 and three-digit years count from 1900.
  if (f[2].size() == 2) w.v.year += w.v.year < 50 ? 2000 : 1900;
  if (f[2].size() == 3) w.v.year += 1900;
  std::string_view time = f[3];
  if (!ReadTime(time, w.v, false)) return Outcome::kMalformed;
  if (!time.empty() && count == 5) return Outcome::kMalformed;  // a zone glued on and another
  return ReadZone(count == 5 ? f[4] : time, w);
}

Outcome Parse(std::string_view text, DateTime& out) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  if (text.empty()) return Outcome::kNotADate;
  Written w;
  const bool iso = text.size() >= 5 && AllDigits(text.substr(0, 4)) && text[4] == '-';
  if (!ReadUsual(text, w)) {
    w = Written();
    const Outcome read = iso ? ReadIso(text, w) : ReadRfc(text, w);
    if (read != Outcome::kOk) return read;
  }
  DateTime& v = w.v;
  if (v.year < 1 || v.year > 9999 || v.month < 1 || v.month > 12 || v.day < 1 ||
      v.day > DaysInMonth(v.year, v.month) || v.hour > 23 || v.minute > 59 || v.second > 59) {
    return Outcome::kMalformed;
  }
  if (w.zoned) {
    const long long days = DaysFromCivil(v.year, v.month, v.day);
    const int time = v.hour * 3600 + v.minute * 60 + v.second;
    const int shifted = time + LocalOffset(days * 86400 + time - w.offsetSeconds) - w.offsetSeconds;
    if (shifted >= 0 && shifted < 86400) {
      v.hour = shifted / 3600;
      v.minute = shifted % 3600 / 60;
      v.second = shifted % 60;
    } else {  // another day
      const long long moved = FloorDiv(shifted, 86400);
      const int rest = static_cast<int>(shifted - moved * 86400);
      CivilFromDays(days + moved, v.year, v.month, v.day);
      v.hour = rest / 3600;
      v.minute = rest % 3600 / 60;
      v.second = rest % 60;
    }
    // Moved past the four-digit years, the text would no longer sort as a date.
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
    case Outcome::kNotADate:
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
    case Outcome::kNotADate:
      return false;
    case Outcome::kMalformed:
      break;
  }
  value = CurrentLocalDateTime();
  return false;
}

}  // namespace vorlin
