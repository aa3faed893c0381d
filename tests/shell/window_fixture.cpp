#include "window_fixture.h"

#include <fstream>
#include <random>
#include <sstream>

#include "shell/app_options.h"

namespace vorlin::testing {

TempDir::TempDir() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("vorlin-shell-" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(path_ / name, std::ios::binary);
  out << bytes;
}

std::string TempDir::Read(const std::string& name) const {
  std::ifstream in(path_ / name, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

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
