// The batches of the download list as a step-wise state machine: the batch says which rows to
// fetch and records each outcome, while its driver does the fetching (ParallelBatch for both the
// window and `vorlin-cli download`), so both share every rule.
#pragma once

#include <optional>
#include <string>

#include "download/download_list.h"
#include "download/download_schedule.h"

namespace vorlin {

struct DownloadJob {
  int row = 0;
  std::string url;  // column 0, as it stands
};

enum class DownloadOutcome {
  kOk,           // stored: the row is stamped
  kNotModified,  // the server has nothing new: stamped like a success
  kFailed,       // the manual batch empties the stamp, the timed batch stamps the row
  kAborted,      // Stop, Exit or a signal ended it: the row stays as it was
};

class DownloadBatch {
 public:
  enum class Kind {
    kManual,  // "Загрузить все. (Download all)": every row; a failure empties its stamp
    kTimed,   // the download timer's batch: the due rows; every attempt stamps its row
  };

  // Clears the stop flag (when given). The timed batch's first pass runs here: a row without a
  // stamp gets the now stamp, and "0" goes into every empty frequency cell of every row.
  DownloadBatch(Kind kind, DownloadGrid& grid, Clock clock, bool* stopFlag);

  // The next row to fetch, in list order, or nullopt when the batch is over: after the last row,
  // or once the stop flag is set. The timed batch skips rows that are not due; it throws Error
  // (naming the row and column) at a row whose stamp or frequency does not convert.
  std::optional<DownloadJob> Next();

  // Records the outcome of a row that Next gave and returns its log line.
  std::string Complete(int row, DownloadOutcome outcome);

  // The stop flag is set.
  bool Stopped() const { return stop_ != nullptr && *stop_; }

 private:
  Kind kind_;
  DownloadGrid& grid_;
  Clock clock_;
  bool* stop_;
  int nextRow_ = 1;
};

// The one-file download's result on the grid: a success stamps data row `row`, a failure
// empties its stamp; a row that is not a data row is left alone.
void RecordOneDownload(DownloadGrid& grid, int row, bool ok, std::time_t now);

}  // namespace vorlin
