#include "reader/date_presets.h"

#include <ctime>

#include "util/cp1251.h"

namespace vorlin {
namespace {

int DaysIn(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::vector<std::string> DatePresetItems() {
  std::vector<std::string> items;
  for (const char* item : {"любой (any)", "сегодня (now)", "сегодня и вчера (today and yesterday)",
                           "вчера (yesterday)", "за неделю (for week)", "за 2 недели (for 2 weeks)",
                           "за месяц (for month)", "произвольный диапазон (free range)"}) {
    items.push_back(W(item));
  }
  return items;
}

Date AddDays(const Date& date, int days) {
  // Noon in UTC: no leap seconds or zone changes can move the day.
  std::tm tm{};
  tm.tm_year = date.year - 1900;
  tm.tm_mon = date.month - 1;
  tm.tm_mday = date.day + days;
  tm.tm_hour = 12;
  std::time_t t = timegm(&tm);
  std::tm out{};
  gmtime_r(&t, &out);
  return {out.tm_year + 1900, out.tm_mon + 1, out.tm_mday};
}

void ApplyDatePreset(int index, const Date& today, Date& start, Date& end) {
  switch (index) {
    case 1:
      start = end = today;
      break;
    case 2:
      start = AddDays(today, -1);
      end = today;
      break;
    case 3:
      start = end = AddDays(today, -1);
      break;
    case 4:
      start = AddDays(today, -7);
      end = today;
      break;
    case 5:
      start = AddDays(today, -14);
      end = today;
      break;
    case 6: {
      Date prev{today.year, today.month - 1, today.day};
      if (prev.month == 0) prev = {today.year - 1, 12, today.day};
      if (prev.day > DaysIn(prev.year, prev.month)) prev.day = DaysIn(prev.year, prev.month);
      start = prev;
      end = today;
      break;
    }
    default:
      break;
  }
}

Date TodayLocal() {
  DateTime now = CurrentLocalDateTime();
  return {now.year, now.month, now.day};
}

DateTime RangeStart(const Date& start) { return {start.year, start.month, start.day, 0, 0, 0}; }
DateTime RangeEnd(const Date& end) { return {end.year, end.month, end.day, 23, 59, 0}; }

}  // namespace vorlin
