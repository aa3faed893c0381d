// Work on a thread of its own for the window: loading the store while the window stays usable.
// Progress texts and the end of the work come back to the window's thread as queued calls.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "util/progress.h"

namespace vorlin {

class BackgroundWork : public QObject {
  Q_OBJECT

 public:
  explicit BackgroundWork(QObject* parent = nullptr);
  // Waits for work still running; its results are dropped.
  ~BackgroundWork() override;

  // Runs `work` on a new thread. `onText` receives its progress texts on the window's thread
  // (the latest one when several came meanwhile); `done` receives, on the window's thread, the
  // message of the Error that ended the work (UTF-8), or an empty text.
  void Start(std::function<void(Progress&)> work, std::function<void(const std::string&)> onText,
             std::function<void(const std::string&)> done);
  bool Running() const { return running_; }
  // Processes the window's events until the work has ended and `done` has run.
  void Wait();

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
  bool running_ = false;
};

}  // namespace vorlin
