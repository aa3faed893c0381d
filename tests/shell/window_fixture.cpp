#include "window_fixture.h"

#include "shell/app_options.h"

namespace vorlin::testing {

void WindowTest::SetUp() {
  SetErrorSink([this](const QString& message) { errors_ << message; });
}

void WindowTest::TearDown() {
  window_.reset();
  SetErrorSink({});
}

TMain& WindowTest::Start(const QStringList& arguments) {
  QStringList all = {QStringLiteral("--config-dir"), QString::fromStdString(dir_.Name())};
  all << arguments;
  window_ = std::make_unique<TMain>(ParseAppOptions(all));
  return *window_;
}

void WindowTest::Stop() {
  window_->close();
  window_.reset();
}

}  // namespace vorlin::testing
