#include "download/download_batch.h"

#include <utility>

namespace vorlin {

namespace {

bool BlankCell(const std::string& cell) { return cell.find_first_not_of(' ') == cell.npos; }

}  // namespace

DownloadBatch::DownloadBatch(Kind kind, DownloadGrid& grid, Clock clock, bool* stopFlag)
    : kind_(kind), grid_(grid), clock_(std::move(clock)), stop_(stopFlag) {
  if (stop_ != nullptr) *stop_ = false;
  if (kind_ != Kind::kTimed) return;
  const std::string now = FormatStamp(clock_());
  for (int row = 1; row < grid_.RowCount(); ++row) {
    DownloadRow& cells = grid_.rows[row];
    // A row stamped here is from now on treated like any stamped row.
    if (BlankCell(cells[kColStamp])) cells[kColStamp] = now;
    for (int column : {kColDays, kColHours, kColMinutes}) {
      if (BlankCell(cells[column])) cells[column].assign(1, '0');
    }
  }
}

std::optional<DownloadJob> DownloadBatch::Next() {
  while (nextRow_ < grid_.RowCount()) {
    if (stop_ != nullptr && *stop_) return std::nullopt;
    const int row = nextRow_;
    if (kind_ == Kind::kManual || clock_() >= DueTime(grid_, row)) {
      ++nextRow_;
      return DownloadJob{row, grid_.rows[row][kColUrl]};
    }
    ++nextRow_;
  }
  return std::nullopt;
}

std::string DownloadBatch::Complete(int row, DownloadOutcome outcome) {
  const std::string now = FormatStamp(clock_());
  const std::string& url = grid_.rows[row][kColUrl];
  switch (outcome) {
    case DownloadOutcome::kAborted:
      return DownloadAbortedLine(url, now);
    case DownloadOutcome::kFailed:
      if (kind_ == Kind::kManual) {
        grid_.rows[row][kColStamp].clear();
      } else {
        grid_.rows[row][kColStamp] = now;
      }
      return DownloadFailedLine(url, now);
    case DownloadOutcome::kNotModified:
      grid_.rows[row][kColStamp] = now;
      return DownloadNotModifiedLine(url, now);
    case DownloadOutcome::kOk:
      break;
  }
  grid_.rows[row][kColStamp] = now;
  return DownloadOkLine(url, now);
}

void RecordOneDownload(DownloadGrid& grid, int row, bool ok, std::time_t now) {
  if (!grid.IsDataRow(row)) return;
  if (ok) {
    grid.rows[row][kColStamp] = FormatStamp(now);
  } else {
    grid.rows[row][kColStamp].clear();
  }
}

}  // namespace vorlin
