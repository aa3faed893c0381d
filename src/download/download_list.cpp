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
}

std::string CleanCell(std::string_view cell) {
  return std::string(TrimField(ControlsToBlanks(cell)));
}

bool LooksLikeUrl(std::string_view cell) {
  const size_t colon = cell.find("://");
  if (colon == 0 || colon == std::string_view::npos) return false;
  for (size_t i = 0; i < colon; ++i) {
    const char c = cell[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) {
      return false;
    }
  }
  return true;
}

std::vector<DownloadRow> ParseListFile(std::string_view text, bool* headerless) {
  std::vector<DownloadRow> rows;
  for (const std::string& line : SplitLines(text)) {
    DownloadRow row = ParseLine(line);
    // The designed empty row of older lists and blank lines carry nothing.
    if (!rows.empty() && row == DownloadRow{}) continue;
    rows.push_back(std::move(row));
  }
  const bool noHeader = !rows.empty() && LooksLikeUrl(rows[0][kColUrl]);
  if (noHeader || rows.empty()) rows.insert(rows.begin(), DownloadHeaders());
  if (headerless != nullptr) *headerless = noHeader;
  return rows;
}

void RequireListText(std::string_view text, std::string_view fileName) {
  const std::string_view lead = TrimField(text.substr(0, 256));
  bool rowFound = false;
  for (const std::string& line : SplitLines(text)) {
    if (line.find(';') != std::string::npos || LooksLikeUrl(TrimField(line))) {
      rowFound = true;
      break;
    }
  }
  if (text.find('\0') != std::string_view::npos || lead.starts_with('<') ||
      lead.starts_with("\xEF\xBB\xBF<") || !rowFound) {
    const std::string name = DisplayName(fileName);
    throw Error("Файл " + name + " не является списком адресов (The file " + name +
                " is not a list of feed addresses)");
  }
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

bool LoadGridFromFile(std::string_view fileName, DownloadGrid& grid) {
  bool headerless = false;
  std::vector<DownloadRow> rows = ParseListFile(ReadWholeFile(fileName), &headerless);
  grid.rows = std::move(rows);
  return headerless;
}

void SaveGridToFile(std::string_view fileName, DownloadGrid& grid) {
  WriteFileAtomic(fileName, FormatListFile(grid));
}

bool DeleteGridRow(DownloadGrid& grid, int row) {
  if (!grid.IsDataRow(row)) return false;
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
