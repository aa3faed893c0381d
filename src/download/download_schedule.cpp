#include "download/download_schedule.h"

#include <time.h>

#include "util/cp1251.h"
#include "util/file_io.h"
#include "util/settings_file.h"
#include "util/text_utils.h"

namespace vorlin {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Parses `text` whole with `format` into `tm`.
bool ParseWhole(std::string_view text, const char* format, std::tm& tm) {
  const std::string utf8 = Cp1251ToUtf8(TrimBlanks(text));
  if (utf8.empty()) return false;
  const char* end = ::strptime(utf8.c_str(), format, &tm);
  return end != nullptr && *end == '\0';
}

[[noreturn]] void ThrowCell(const DownloadGrid& grid, int row, int column, const std::string& whyRu,
                            const std::string& why) {
  const std::string header = Cp1251ToUtf8(DownloadHeaders()[column]);
  const std::string value = Cp1251ToUtf8(grid.rows[row][column]);
  const std::string place = std::to_string(row) + ", column \"" + header + "\": \"" + value + "\" ";
  throw Error("Список загрузки, строка " + std::to_string(row) + ", столбец \"" + header +
              "\": \"" + value + "\" " + whyRu + " (Download list, row " + place + why + ")");
}

// A frequency cell as a decimal integer; empty counts as 0.
long long FrequencyCell(const DownloadGrid& grid, int row, int column, long long low,
                        long long high) {
  std::string_view text = TrimBlanks(grid.rows[row][column]);
  if (text.empty()) return 0;
  std::optional<long long> value = ParseInteger(text);
  if (!value) ThrowCell(grid, row, column, "не целое число", "is not a whole number");
  if (*value < low || *value > high) {
    const std::string range = std::to_string(low) + " to " + std::to_string(high);
    ThrowCell(grid, row, column,
              "вне пределов (" + std::to_string(low) + " до " + std::to_string(high) + ")",
              "is out of range (" + range + ")");
  }
  return *value;
}

bool AllEmpty(const DownloadRow& row) {
  return TrimBlanks(row[kColDays]).empty() && TrimBlanks(row[kColHours]).empty() &&
         TrimBlanks(row[kColMinutes]).empty();
}

}  // namespace

std::time_t SystemNow() { return std::time(nullptr); }

std::string FormatStamp(std::time_t time) {
  std::tm local{};
  ::localtime_r(&time, &local);
  char buf[128];
  const size_t n = std::strftime(buf, sizeof buf, "%x %X", &local);
  return Utf8ToCp1251(std::string_view(buf, n));
}

std::optional<std::time_t> ParseStamp(std::string_view stamp) {
  stamp = TrimBlanks(stamp);
  const size_t blank = stamp.find(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  std::tm date{};
  std::tm time{};
  if (!ParseWhole(stamp.substr(0, blank), "%x", date) ||
      !ParseWhole(stamp.substr(blank + 1), "%X", time)) {
    return std::nullopt;
  }
  date.tm_hour = time.tm_hour;
  date.tm_min = time.tm_min;
  date.tm_sec = time.tm_sec;
  date.tm_isdst = -1;
  const std::time_t result = std::mktime(&date);
  if (result == static_cast<std::time_t>(-1)) return std::nullopt;
  return result;
}

std::time_t DueTime(const DownloadGrid& grid, int row) {
  const std::optional<std::time_t> last = ParseStamp(grid.rows[row][kColStamp]);
  if (!last) ThrowCell(grid, row, kColStamp, "не дата и время", "is not a date and time");
  // Days below 0 add nothing; 30 days, 23 hours and 59 minutes is the longest interval.
  const long long days = FrequencyCell(grid, row, kColDays, -999999999, 30);
  const long long hours = FrequencyCell(grid, row, kColHours, 0, 23);
  const long long minutes = FrequencyCell(grid, row, kColMinutes, 0, 59);
  std::tm due{};
  ::localtime_r(&*last, &due);
  if (days > 0) due.tm_mday += static_cast<int>(days);
  due.tm_hour += static_cast<int>(hours);
  due.tm_min += static_cast<int>(minutes);
  due.tm_isdst = -1;
  return std::mktime(&due);
}

bool DownloadCheckNeeded(DownloadGrid& grid, std::time_t now) {
  bool needed = false;
  for (int row = 1; row < grid.RowCount(); ++row) {
    DownloadRow& cells = grid.rows[row];
    if (TrimBlanks(cells[kColStamp]).empty()) {
      needed = true;
      continue;
    }
    if (AllEmpty(cells)) {
      cells[kColDays] = "0";
      cells[kColHours] = "0";
      cells[kColMinutes] = "1";
    }
    if (now >= DueTime(grid, row)) needed = true;
  }
  return needed;
}

std::string DownloadOkLine(std::string_view url, std::string_view nowStamp) {
  return W(" Файл загружен (File Download Ok.)") + std::string(url) + " " + std::string(nowStamp);
}

std::string DownloadFailedLine(std::string_view url, std::string_view nowStamp) {
  return W(" Ошибка загрузки  (Not Download ...)") + std::string(url) + " " + std::string(nowStamp);
}

std::string DownloadNotModifiedLine(std::string_view url, std::string_view nowStamp) {
  return W(" Файл не изменился (not modified) ") + std::string(url) + " " + std::string(nowStamp);
}

std::string DownloadAbortedLine(std::string_view url, std::string_view nowStamp) {
  return W(" Загрузка прервана (Download aborted) ") + std::string(url) + " " +
         std::string(nowStamp);
}

void DownloadTimer::Start() {
  on_ = true;
  counter_ = 0;
}

DownloadTimer::Action DownloadTimer::Tick(bool stopRequested) {
  if (stopRequested) {
    on_ = false;
    counter_ = 0;
    return Action::kStopped;
  }
  if (counter_ < 60) {
    ++counter_;
    return Action::kCounted;
  }
  counter_ = 0;
  return Action::kCheck;
}

std::string DownloadTimer::CounterText() const { return LeftPad(' ', std::to_string(counter_), 5); }

}  // namespace vorlin
