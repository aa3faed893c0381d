#include "download/download_list.h"

#include <utility>

#include "util/cp1251.h"
#include "util/file_io.h"
#include "util/text_utils.h"

namespace vorlin {

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimField(std::string_view s) {
  while (!s.empty() && IsBlankOrControl(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlankOrControl(s.back())) s.remove_suffix(1);
  return s;
}

DownloadRow ParseLine(std::string_view line) {
  DownloadRow row;
  size_t column = 0;
  size_t start = 0;
  while (column < row.size()) {
    const size_t end = line.find(';', start);
    std::string_view piece =
        TrimField(line.substr(start, end == std::string_view::npos ? line.npos : end - start));
    // The text after the last ";" is a field only when it holds something.
    if (end == std::string_view::npos && piece.empty()) break;
    row[column++] = std::string(piece);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return row;
}

}  // namespace

const DownloadRow& DownloadHeaders() {
  static const DownloadRow headers{
      W("URL-Адрес"), "Date of the last Downloading", "Days", "Hours", "Min", "Commentary"};
  return headers;
}

void SetDownloadGridHeaders(DownloadGrid& grid) {
  if (grid.rows.empty()) grid.rows.emplace_back();
  grid.rows[0] = DownloadHeaders();
  if (grid.rows.size() < 2) grid.rows.emplace_back();
}

std::string CleanCell(std::string_view cell) {
  return std::string(TrimField(ControlsToBlanks(cell)));
}

std::vector<DownloadRow> ParseListFile(std::string_view text) {
  std::vector<DownloadRow> rows;
  for (const std::string& line : SplitLines(text)) rows.push_back(ParseLine(line));
  while (rows.size() < 2) rows.emplace_back();
  return rows;
}

std::string FormatListFile(DownloadGrid& grid) {
  std::string text;
  for (DownloadRow& row : grid.rows) {
    for (std::string& cell : row) {
      cell = CleanCell(cell);
      for (char c : cell) text.push_back(c == ';' ? ' ' : c);
      text.push_back(';');
    }
    text += "\r\n";
  }
  return text;
}

void LoadGridFromFile(std::string_view fileName, DownloadGrid& grid) {
  std::vector<DownloadRow> rows = ParseListFile(ReadWholeFile(fileName));
  grid.rows = std::move(rows);
}

void SaveGridToFile(std::string_view fileName, DownloadGrid& grid) {
  WriteFileAtomic(fileName, FormatListFile(grid));
}

bool DeleteGridRow(DownloadGrid& grid, int row) {
  if (grid.RowCount() <= 2 || !grid.IsDataRow(row)) return false;
  grid.rows.erase(grid.rows.begin() + row);
  return true;
}

FloatEntry MakeFloatEntry(std::string url, std::string_view comment, std::string days,
                          std::string hours, std::string minutes) {
  std::string oneLine = ReplaceAll(comment, "\r\n", " ");
  for (char& c : oneLine) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return {std::move(url), std::move(oneLine), std::move(days), std::move(hours),
          std::move(minutes)};
}

void AppendFloatEntries(DownloadGrid& grid, const std::vector<FloatEntry>& entries) {
  for (const FloatEntry& e : entries) {
    DownloadRow row;
    row[kColUrl] = e.url;
    row[kColComment] = e.comment;
    const bool noFrequency = e.days.empty() && e.hours.empty() && e.minutes.empty();
    row[kColDays] = noFrequency ? "1" : e.days;
    row[kColHours] = e.hours;
    row[kColMinutes] = e.minutes;
    grid.rows.push_back(std::move(row));
  }
}

}  // namespace vorlin
