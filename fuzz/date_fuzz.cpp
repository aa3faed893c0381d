// Date parsing never crashes and its two forms agree on any bytes. Inputs starting with "!" are
// recipes instead: the rest of the bytes choose the fields of a date and how it is written (the
// forms feeds use, white space, letter case, zones), and the reading must equal the one the C
// library gives for the same fields (timegm and localtime_r, in a zone with summer time).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "util/rss_date.h"

namespace {

struct Bytes {
  const uint8_t* data;
  size_t size;
  unsigned Next(unsigned mod) {
    if (size == 0) return 0;
    --size;
    return *data++ % mod;
  }
};

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};

std::string Blank(Bytes& b, bool needed) {
  static const char* const kBlanks[] = {" ", " ", "  ", "\t", "\r\n ", ""};
  std::string s = kBlanks[b.Next(needed ? 5 : 6)];
  return s;
}

std::string Cased(std::string s, unsigned how) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (how == 1 || (how == 2 && i > 0)) s[i] = static_cast<char>(s[i] | 0x20);
    if (how == 3) s[i] = static_cast<char>(s[i] & ~0x20);
  }
  return s;
}

std::string Two(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

void CheckRecipe(Bytes b) {
  int year = 1970 + static_cast<int>(b.Next(130));
  const int month = 1 + static_cast<int>(b.Next(12));
  const int day = 1 + static_cast<int>(b.Next(31));
  const int hour = static_cast<int>(b.Next(24));
  const int minute = static_cast<int>(b.Next(60));
  const int second = b.Next(2) ? static_cast<int>(b.Next(60)) : -1;
  const bool iso = b.Next(4) == 0;
  std::string text = Blank(b, false);
  if (iso) {
    text += std::to_string(year) + "-" + Two(month) + "-" + Two(day) + (b.Next(2) ? "T" : " ") +
            Two(hour) + ":" + Two(minute) + (second >= 0 ? ":" + Two(second) : "");
    if (second >= 0 && b.Next(2)) text += ".125";
  } else {
    if (b.Next(2))
      text += Cased(b.Next(2) ? "Thu" : "Thursday", b.Next(4)) + (b.Next(2) ? "," : "") +
              Blank(b, true);
    text += (day < 10 && b.Next(2) ? "0" : "") + std::to_string(day) + Blank(b, true);
    const std::string name = kMonths[month - 1];
    text += Cased(b.Next(2) ? name : name.substr(0, 3), b.Next(4)) + Blank(b, true);
    if (b.Next(3) == 0) {  // two digits: 2000 to 2049, 1950 to 1999
      const int yy = year % 100;
      year = yy < 50 ? 2000 + yy : 1900 + yy;
      text += Two(yy);
    } else {
      text += std::to_string(year);
    }
    text += Blank(b, true) + Two(hour) + ":" + Two(minute) + (second >= 0 ? ":" + Two(second) : "");
  }
  // The zone: none, numeric, or a name (known or not).
  int offset = 0;
  bool zoned = true;
  const unsigned zone = b.Next(5);
  if (zone == 0) {
    zoned = false;
  } else if (zone <= 2) {
    const int hh = static_cast<int>(b.Next(15));
    const int mm = static_cast<int>(b.Next(4)) * 15;
    const bool west = b.Next(2);
    offset = (west ? -1 : 1) * (hh * 3600 + mm * 60);
    text += (iso ? "" : Blank(b, true)) + (west ? "-" : "+") + Two(hh) + (zone == 2 ? ":" : "") +
            Two(mm);
  } else {
    static const char* const kNames[] = {"GMT", "UT",  "Z",   "EST", "EDT", "CST", "CDT",
                                         "MST", "MDT", "PST", "PDT", "MSK", "CET"};
    static const int kHours[] = {0, 0, 0, -5, -4, -6, -5, -7, -6, -8, -7, 0, 0};
    const unsigned k = iso ? 2 : b.Next(13);
    offset = kHours[k] * 3600;
    zoned = k < 11;
    text += (iso ? "" : Blank(b, true)) + Cased(kNames[k], b.Next(4));
  }
  text += Blank(b, false);

  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const bool valid = day <= (month == 2 && leap ? 29 : kDays[month - 1]);
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second < 0 ? 0 : second;
  if (zoned) {
    const std::time_t t = timegm(&tm) - offset;
    localtime_r(&t, &tm);
  }
  const vorlin::DateTime expected{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                                  tm.tm_hour,        tm.tm_min,     tm.tm_sec};
  std::string normalised;
  const bool ok = vorlin::NormaliseDate(text, normalised);
  if (ok != valid || (valid && normalised != vorlin::FormatNormalised(expected))) {
    std::fprintf(stderr, "%s: %d %s, expected %d %s\n", text.c_str(), ok, normalised.c_str(), valid,
                 vorlin::FormatNormalised(expected).c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("TZ", "America/New_York", 1);
  tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0 && data[0] == '!') CheckRecipe(Bytes{data + 1, size - 1});
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string normalised = "x";
  const bool ok = vorlin::NormaliseDate(text, normalised);
  vorlin::DateTime value{1, 2, 3, 4, 5, 6};
  const bool parsed = vorlin::ParseDate(text, value);
  if (ok != parsed) std::abort();
  if (ok && vorlin::FormatNormalised(value) != normalised) std::abort();
  if (ok && normalised.size() != 18) std::abort();
  if (!ok && !normalised.empty() && normalised.size() != 18) std::abort();
  return 0;
}
