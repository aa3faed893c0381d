// Runs a download batch with several transfers at once while its log lines and stamps stay in
// list order: rows are handed out as transfers in list order (a row whose host already has its
// share running waits while later rows of other hosts go ahead), and each outcome is recorded
// only when every row before it has been recorded. It does no I/O itself: its driver starts the
// transfers it hands out on a FetchPool and hands the results back.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "download/download_batch.h"
#include "download/feed_validators.h"
#include "download/fetch_pool.h"

namespace vorlin {

constexpr int kDefaultParallelDownloads = 4;
constexpr int kMaxParallelDownloads = 16;
constexpr int kDownloadsPerHost = 2;

struct BatchReport {
  int row = 0;
  std::string line;  // the log line (Windows-1251)
};

class ParallelBatch {
 public:
  // `validators`, when given, are sent with every request and take those of each stored feed.
  // `parallel` is clamped to 1 .. kMaxParallelDownloads.
  ParallelBatch(DownloadBatch& batch, std::string folder, ValidatorMap* validators, int parallel,
                int perHost = kDownloadsPerHost);

  // The transfers to start now. A bad cell met while looking for them ends the hand-out; Error()
  // then has its message, to be reported once the batch is done.
  std::vector<FetchRequest> Ready();
  // Records a transfer's result (its id is the row). A file error ends the batch like a bad cell.
  void Finished(const FetchResult& result);
  // No further transfer is handed out (Stop, Exit, a signal); rows not started stay as they are.
  void Stop();

  // The rows recorded since the last call, in list order.
  std::vector<BatchReport> TakeReports();
  // Every row handed out has been recorded and none is left to hand out.
  bool Done() const { return entries_.empty() && (stopped_ || exhausted_); }
  const std::string& Error() const { return error_; }

 private:
  struct Entry {
    DownloadJob job;
    std::string host;
    enum class State { kWaiting, kRunning, kDone } state = State::kWaiting;
    FetchResult result;
  };
  void Record();

  DownloadBatch& batch_;
  std::string folder_;
  ValidatorMap* validators_;
  int parallel_;
  int perHost_;
  std::deque<Entry> entries_;  // handed-out rows in list order, until recorded
  std::map<std::string, int> hostRunning_;
  int running_ = 0;
  bool exhausted_ = false;
  bool stopped_ = false;
  std::string error_;
  std::vector<BatchReport> reports_;
};

}  // namespace vorlin
