// Failures that no handler mends, and a program folder that cannot be written.
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <cstdlib>

#include "app/control_state.h"
#include "shell/app_options.h"
#include "util/file_io.h"
#include "window_fixture.h"

namespace vorlin::testing {
namespace {

class FailingObject : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw Error("Cannot read /data/store.rss: broken");
    return QObject::event(event);
  }
};

TEST_F(WindowTest, AnExceptionThatEscapesAHandlerIsReportedAndTheProgramGoesOn) {
  FailingObject object;
  QEvent event(QEvent::User);
  EXPECT_FALSE(QCoreApplication::sendEvent(&object, &event));
  ASSERT_EQ(errors_.size(), 1);
  // With its Russian half: what failed and on which file.
  EXPECT_EQ(errors_[0], QStringLiteral("Не удаётся прочитать /data/store.rss.\n"
                                       "(Cannot read /data/store.rss: broken)"));
}

TEST_F(WindowTest, SettingsMoveToTheUserConfigFolderWhenTheProgramFolderIsNotWritable) {
  TempDir config;
  const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path().string()));
  window_ = std::make_unique<TMain>(ParseAppOptions(
      {QStringLiteral("--config-dir"), QString::fromStdString(dir_.Name() + "missing/folder")}));
  EXPECT_EQ(window_->State().programFolder, dir_.Name() + "missing/folder/");
  EXPECT_EQ(window_->State().settingsFolder, config.Name() + "vorlin/");
  Find<QLineEdit>("EditTimeScan")->setText(QStringLiteral("42"));
  Stop();
  EXPECT_NE(config.Read("vorlin/OpsRss.txt").find("EditTimeScan.Text=42\r\n"), std::string::npos);
  EXPECT_TRUE(FileExists(config.Name() + "vorlin/DirRss.txt"));
  EXPECT_TRUE(FileExists(config.Name() + "vorlin/OpsUSelMes.txt"));

  window_ = std::make_unique<TMain>(ParseAppOptions(
      {QStringLiteral("--config-dir"), QString::fromStdString(dir_.Name() + "missing/folder")}));
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditTimeScan")), "42");
  window_.reset();
  if (previous.isNull()) {
    qunsetenv("XDG_CONFIG_HOME");
  } else {
    qputenv("XDG_CONFIG_HOME", previous);
  }
}

TEST_F(WindowTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheOtherFilesStillAre) {
  Start();
  // A folder where the settings file should be: no rename can replace it.
  std::filesystem::create_directory(dir_.path() / "OpsRss.txt");
  Stop();
  ASSERT_EQ(errors_.size(), 1);
  EXPECT_TRUE(errors_[0].contains(QStringLiteral("OpsRss.txt")));
  EXPECT_TRUE(FileExists(dir_.Name() + "DirRss.txt"));
  EXPECT_TRUE(FileExists(dir_.Name() + "OpsUSelMes.txt"));
}

TEST(AppOptions, BadArgumentsAreRefused) {
  EXPECT_THROW(ParseAppOptions({QStringLiteral("--page"), QStringLiteral("7")}), Error);
  EXPECT_THROW(ParseAppOptions({QStringLiteral("--store")}), Error);
  EXPECT_THROW(ParseAppOptions({QStringLiteral("--bogus")}), Error);
}

}  // namespace
}  // namespace vorlin::testing
