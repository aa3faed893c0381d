#include "reader/background_work.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <exception>
#include <mutex>

namespace vorlin {

// The texts the thread hands over: only the latest waits, so a fast thread never floods the
// window's queue.
struct BackgroundWork::Shared {
  std::mutex mutex;
  std::string text;
  bool posted = false;
};

namespace {

class PostingProgress final : public Progress {
 public:
  explicit PostingProgress(std::function<void(const std::string&)> post) : post_(std::move(post)) {}
  void ShowStatusText(const std::string& text) override { post_(text); }

 private:
  std::function<void(const std::string&)> post_;
};

}  // namespace

BackgroundWork::BackgroundWork(QObject* parent) : QObject(parent) {}

BackgroundWork::~BackgroundWork() {
  if (thread_.joinable()) thread_.join();
}

void BackgroundWork::Start(std::function<void(Progress&)> work,
                           std::function<void(const std::string&)> onText,
                           std::function<void(const std::string&)> done) {
  if (thread_.joinable()) thread_.join();
  running_ = true;
  auto shared = std::make_shared<Shared>();
  shared_ = shared;
  thread_ = std::thread([this, shared, work = std::move(work), onText = std::move(onText),
                         done = std::move(done)]() mutable {
    auto post = [this, shared, onText](const std::string& text) {
      std::lock_guard<std::mutex> lock(shared->mutex);
      shared->text = text;
      if (shared->posted) return;
      shared->posted = true;
      QMetaObject::invokeMethod(
          this,
          [shared, onText] {
            std::string latest;
            {
              std::lock_guard<std::mutex> lock(shared->mutex);
              latest = shared->text;
              shared->posted = false;
            }
            onText(latest);
          },
          Qt::QueuedConnection);
    };
    PostingProgress progress(post);
    std::string error;
    try {
      work(progress);
    } catch (const std::exception& e) {
      error = e.what();
      if (error.empty()) error = "Unknown error";
    }
    // The last text comes before the end, in the order they were posted.
    QMetaObject::invokeMethod(
        this,
        [this, error, done = std::move(done)] {
          if (thread_.joinable()) thread_.join();
          running_ = false;
          done(error);
        },
        Qt::QueuedConnection);
  });
}

void BackgroundWork::Wait() {
  while (running_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace vorlin
