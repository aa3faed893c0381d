// Runs the feed transfers of the window on a worker thread, so that the window repaints and its
// buttons work during downloads. Requests go to the worker's transfer pool; status texts and
// results come back to the UI thread as queued calls; status texts are coalesced, so fast
// transfers cannot flood the event loop.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "download/fetch_pool.h"

namespace vorlin {

class FetchRunner : public QObject {
  Q_OBJECT

 public:
  explicit FetchRunner(QObject* parent = nullptr);
  // Aborts the transfers in progress (their partial files are removed) and ends the worker.
  ~FetchRunner() override;

  // Applies to the transfers started afterwards.
  void SetLimits(const FetchLimits& limits);
  // Called on the UI thread with every result.
  void SetDone(std::function<void(const FetchResult&)> done) { done_ = std::move(done); }

  // Starts a transfer on the worker.
  void Start(FetchRequest request);
  // Ends every transfer started so far: each reports kAborted (within a tenth of a second).
  void Abort();
  // Transfers started and not reported yet.
  int Running() const { return running_; }

 signals:
  // A status text of a transfer (Windows-1251 converted), for the third status panel.
  void StatusText(const QString& text);

 private:
  class Status;
  void FlushStatus();
  void Loop();
  void StopWorker();
  void Report(FetchResult result);

  FetchLimits limits_;
  std::function<void(const FetchResult&)> done_;
  std::unique_ptr<Status> status_;
  std::unique_ptr<FetchPool> pool_;
  std::atomic<int> abort_{0};
  std::mutex mutex_;
  std::vector<FetchRequest> queue_;  // waiting for the worker to start them
  bool quit_ = false;
  std::thread thread_;
  int running_ = 0;
};

}  // namespace vorlin
