#include "download/fetch_runner.h"

#include <QMetaObject>
#include <exception>
#include <utility>

#include "app/control_state.h"

namespace vorlin {

// Keeps the latest status text of the worker and posts at most one flush at a time.
class FetchRunner::Status final : public Progress {
 public:
  explicit Status(FetchRunner* runner) : runner_(runner) {}

  void ShowStatusText(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    latest_ = text;
    if (posted_) return;
    posted_ = true;
    FetchRunner* runner = runner_;
    QMetaObject::invokeMethod(
        runner, [runner] { runner->FlushStatus(); }, Qt::QueuedConnection);
  }

  std::string Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    posted_ = false;
    return std::move(latest_);
  }

 private:
  FetchRunner* runner_;
  std::mutex mutex_;
  std::string latest_;
  bool posted_ = false;
};

FetchRunner::FetchRunner(QObject* parent)
    : QObject(parent), status_(std::make_unique<Status>(this)) {}

FetchRunner::~FetchRunner() {
  abort_ = true;
  if (thread_.joinable()) thread_.join();
}

void FetchRunner::SetLimits(const FetchLimits& limits) {
  limits_ = limits;
  // The fetch in progress keeps its fetcher; the next one makes a new one.
  if (!Busy()) fetcher_.reset();
}

void FetchRunner::FlushStatus() {
  const std::string text = status_->Take();
  if (!text.empty()) emit StatusText(ToQ(text));
}

void FetchRunner::Start(std::string url, std::string folder,
                        std::function<void(FetchOutcome)> done) {
  if (!fetcher_) {
    fetcher_ = std::make_unique<FeedFetcher>(limits_, &abort_);
  }
  FeedFetcher* fetcher = fetcher_.get();
  Status* status = status_.get();
  thread_ = std::thread([this, fetcher, status, url = std::move(url), folder = std::move(folder),
                         done = std::move(done)]() mutable {
    FetchOutcome outcome;
    try {
      outcome.ok = fetcher->DownloadFeedToFolder(url, folder, *status);
      outcome.reason = fetcher->LastError();
    } catch (const std::exception& e) {
      outcome.ioError = true;
      outcome.reason = e.what();
    }
    QMetaObject::invokeMethod(
        this,
        [this, outcome = std::move(outcome), done = std::move(done)] {
          thread_.join();
          FlushStatus();
          done(outcome);
        },
        Qt::QueuedConnection);
  });
}

}  // namespace vorlin
