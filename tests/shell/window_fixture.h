// Helpers for tests that drive the real main window offscreen with its settings in a
// temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <string>

#include "app/error_report.h"
#include "shell/tmain.h"
#include "test_support.h"

namespace vorlin::testing {

// The shared temporary folder, with names relative to it.
struct TempDir : test::TempDir {
  std::string Name() const { return Folder(); }
  void Write(const std::string& name, const std::string& bytes) const {
    test::WriteBytes(path() / name, bytes);
  }
  std::string Read(const std::string& name) const { return test::ReadBytes(path() / name); }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the window with this test's program folder and the given extra options.
  TMain& Start(const QStringList& arguments = {});
  // Closes the window normally (the shutdown sequence runs) and destroys it.
  void Stop();

  template <typename T>
  T* Find(const char* name) {
    T* control = window_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  TempDir dir_;
  std::unique_ptr<TMain> window_;
  QStringList errors_;
};

}  // namespace vorlin::testing
