// The eight presets of the date range ("любой (any)" … "произвольный диапазон (free range)").
#pragma once

#include <string>
#include <vector>

#include "util/rss_date.h"

namespace vorlin {

struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
  bool operator==(const Date&) const = default;
};

// The items of `CBoxSDataPub`, index 0 to 7 (Windows-1251).
std::vector<std::string> DatePresetItems();

// Applies preset `index` counted from `today` to the two picker dates. Indexes 0 and 7 and
// any other index leave them unchanged. The month preset takes the same day of the previous
// month, or its last day when that month is shorter.
void ApplyDatePreset(int index, const Date& today, Date& start, Date& end);

// `date` moved by `days` days.
Date AddDays(const Date& date, int days);

Date TodayLocal();

// The range bounds of the pickers: the start date at 00:00:00 and the end date at 23:59:00.
DateTime RangeStart(const Date& start);
DateTime RangeEnd(const Date& end);

}  // namespace vorlin
