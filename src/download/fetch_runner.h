// Runs one feed download at a time on a worker thread, so that the window repaints and its
// buttons work during a fetch. Status texts and the result come back to the UI thread as queued
// calls; status texts are coalesced, so a fast transfer cannot flood the event loop.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "download/feed_fetch.h"

namespace vorlin {

struct FetchOutcome {
  bool ok = false;
  std::string reason;    // why it failed (UTF-8)
  bool ioError = false;  // the file could not be written: the batch ends with `reason`
};

class FetchRunner : public QObject {
  Q_OBJECT

 public:
  explicit FetchRunner(QObject* parent = nullptr);
  // Aborts a fetch in progress and waits for its thread.
  ~FetchRunner() override;

  // Applies to the fetches started afterwards; a new fetcher (and connection pool) is made.
  void SetLimits(const FetchLimits& limits);

  // Starts DownloadFeedToFolder(url, folder) on the worker thread; `done` runs on the UI thread
  // once it has finished. Only one fetch at a time.
  void Start(std::string url, std::string folder, std::function<void(FetchOutcome)> done);
  bool Busy() const { return thread_.joinable(); }

 signals:
  // A status text of the fetch (Windows-1251 converted), for the third status panel.
  void StatusText(const QString& text);

 private:
  class Status;
  void FlushStatus();

  FetchLimits limits_;
  std::atomic<bool> abort_{false};
  std::unique_ptr<FeedFetcher> fetcher_;
  std::unique_ptr<Status> status_;
  std::thread thread_;
};

}  // namespace vorlin
