// The download list: the rows of the grid SGridDF as plain text cells, and its list files
// (DLFiles.txt and "*.RssUrl").
//
// List file format: Windows-1251 text, one line per grid row with the header row first, every
// line ended by CR LF. A line is the row's six cells, each followed by ";". There is no quoting:
// on writing, every character of code 0 to 32 in a cell becomes a blank, the cell is trimmed of
// blanks (the grid keeps this cleaned text), and every ";" is written as a blank (in the file
// only). On reading, a line is cut at every ";"; each piece is trimmed of blanks and control
// characters; an empty piece after the last ";" is no field. Every row keeps six cells: missing
// fields are empty, fields beyond the sixth are dropped. A hand-written list may lack the header:
// a first line that holds a URL is a row. Lines without any text (blank, or only ";") are no
// rows.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vorlin {

enum DownloadColumn {
  kColUrl = 0,
  kColStamp = 1,  // time stamp of the last download, or empty
  kColDays = 2,
  kColHours = 3,
  kColMinutes = 4,
  kColComment = 5,
  kDownloadColumns = 6,
};

using DownloadRow = std::array<std::string, kDownloadColumns>;

// Row 0 is the header row; data rows are 1 to rows.size() - 1 (none in a fresh list). Cells are
// Windows-1251 text.
struct DownloadGrid {
  std::vector<DownloadRow> rows{DownloadRow{}};

  int RowCount() const { return static_cast<int>(rows.size()); }
  bool IsDataRow(int row) const { return row >= 1 && row < RowCount(); }
};

// The header texts of the six columns, in column order.
const DownloadRow& DownloadHeaders();

// Writes the six header texts into row 0.
void SetDownloadGridHeaders(DownloadGrid& grid);

// Every character of code 0 to 32 becomes a blank; leading and trailing blanks are removed.
std::string CleanCell(std::string_view cell);

// True when `cell` starts with a scheme and "://" (a URL rather than a header text).
bool LooksLikeUrl(std::string_view cell);

// The rows of a list file's text, the header row first. When the first line holds a URL
// instead of the header, the header texts are put before it and `headerless` is set.
std::vector<DownloadRow> ParseListFile(std::string_view text, bool* headerless = nullptr);

// Throws Error naming the file unless `text` reads as a list file: no NUL byte, not markup
// (a first character "<": an XML, HTML or OPML file) and at least one line with a ";" or a
// URL.
void RequireListText(std::string_view text, std::string_view fileName);

// Cleans every cell of `grid` (header row included) and returns the file text.
std::string FormatListFile(DownloadGrid& grid);

// Reads the file into the grid, line 1 into the header row. Returns true when the first line
// was a URL kept as a row (see ParseListFile). Throws Error when the file cannot be read; the
// grid is then unchanged.
bool LoadGridFromFile(std::string_view fileName, DownloadGrid& grid);

// Cleans the grid's cells and writes the file (through a temporary file renamed over it).
// Throws Error when it cannot be written.
void SaveGridToFile(std::string_view fileName, DownloadGrid& grid);

// Removes data row `row`; returns false when `row` is no data row.
bool DeleteGridRow(DownloadGrid& grid, int row);

// One entry collected by the float window.
struct FloatEntry {
  std::string url;
  std::string comment;
  std::string days;
  std::string hours;
  std::string minutes;
};

// The float window's entry as its Add button takes it: the comment's CR LF pairs (and lone line
// breaks) become blanks, everything else as typed.
FloatEntry MakeFloatEntry(std::string url, std::string_view comment, std::string days,
                          std::string hours, std::string minutes);

// Appends one row per entry in order, with an empty stamp. An entry whose three frequency
// fields are all empty gets 1 day (hours and minutes stay empty).
void AppendFloatEntries(DownloadGrid& grid, const std::vector<FloatEntry>& entries);

}  // namespace vorlin
