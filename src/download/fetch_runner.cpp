#include "download/fetch_runner.h"

#include <QMetaObject>
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

FetchRunner::~FetchRunner() { StopWorker(); }

void FetchRunner::StopWorker() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  ++abort_;
  pool_->Wakeup();
  thread_.join();
  // The pool removes the partial files of transfers still in it.
  pool_.reset();
  quit_ = false;
}

void FetchRunner::SetLimits(const FetchLimits& limits) {
  limits_ = limits;
  // The next transfer starts a worker with the new limits.
  if (running_ == 0) StopWorker();
}

void FetchRunner::FlushStatus() {
  const std::string text = status_->Take();
  if (!text.empty()) emit StatusText(ToQ(text));
}

void FetchRunner::Report(FetchResult result) {
  QMetaObject::invokeMethod(
      this,
      [this, result = std::move(result)] {
        --running_;
        FlushStatus();
        if (done_) done_(result);
      },
      Qt::QueuedConnection);
}

void FetchRunner::Start(FetchRequest request) {
  if (!thread_.joinable()) {
    pool_ = std::make_unique<FetchPool>(limits_, &abort_);
    thread_ = std::thread([this] { Loop(); });
  }
  ++running_;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(request));
  }
  pool_->Wakeup();
}

void FetchRunner::Abort() {
  std::vector<FetchRequest> waiting;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting.swap(queue_);
  }
  for (FetchRequest& request : waiting) {
    Report(FetchResult::Of(request.id, FetchStatus::kAborted, "cancelled"));
  }
  ++abort_;
  if (pool_) pool_->Wakeup();
}

void FetchRunner::Loop() {
  for (;;) {
    std::vector<FetchRequest> starting;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (quit_) return;
      starting.swap(queue_);
    }
    for (FetchRequest& request : starting) pool_->Start(std::move(request), *status_);
    for (FetchResult& result : pool_->Perform(1000)) Report(std::move(result));
  }
}

}  // namespace vorlin
