// The ingestion timer of the scan page, tick by tick, and the choice of another store.
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>

#include "scan_page_support.h"
#include "store/crc32.h"
#include "store/key_index.h"
#include "store/store_format.h"
#include "util/file_io.h"

namespace vorlin::testing {
namespace {

class ScanPageTimerTest : public ScanPageTest {
 protected:
  ScanPage& Arm(const char* period) {
    ScanPage& page = StartOn();
    Find<QLineEdit>("EditTimeScan")->setText(QString::fromLatin1(period));
    Find<QPushButton>("ButtonStartOnTimer")->click();
    return page;
  }
  QTimer* TimerScan() { return Find<QTimer>("TimerScan"); }
};

TEST_F(ScanPageTimerTest, APeriodOfOneMinuteCountsDownFrom59AndRunsOnTheSixtiethTick) {
  ScanPage& page = Arm("1");
  ASSERT_TRUE(errors_.isEmpty());
  EXPECT_TRUE(TimerScan()->isActive());
  EXPECT_EQ(TimerScan()->interval(), 1000);
  EXPECT_EQ(Buttons(), (States{false, false, true}));
  for (int expected = 59; expected >= 1; --expected) {
    page.TimerScanTimer();
    ASSERT_EQ(Panel(0), QStringLiteral("%1 Sec").arg(expected));
  }
  EXPECT_TRUE(LogLines().empty());
  // A changed period takes effect after the next run.
  Find<QLineEdit>("EditTimeScan")->setText(QStringLiteral("2"));

  page.TimerScanTimer();
  EXPECT_EQ(Panel(0), QStringLiteral("1 Sec"));
  EXPECT_EQ(WithoutStamps(LogLines()),
            (Lines{W("    Начал поиск дублей. (Began searching for of the copies.)"),
                   "All scan files=0 All scan files size =0 All test=0 Dubl- 0 Size dubl= 0",
                   W("    Начал загрузку сообщений (Began loading the messages)"),
                   W("    Сканирование файлов перед загрузкой "),
                   W("    Запись найденых сообщений в файл "),
                   W("    Загрузка завершена.Загружено новых сообщений 0")}));
  EXPECT_TRUE(FileExists(dir_.Name() + "store.rss"));
  EXPECT_TRUE(TimerScan()->isActive());
  EXPECT_EQ(page.Timer().countdown(), 120);
  EXPECT_EQ(Buttons(), (States{false, false, true}));

  // The real timer drives the same handler.
  TimerScan()->setInterval(1);
  QElapsedTimer clock;
  clock.start();
  while (LogLines().size() < 12 && clock.elapsed() < 20000) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  EXPECT_EQ(LogLines().size(), 12u);

  Find<QPushButton>("ButtonStopTimer")->click();
  EXPECT_FALSE(TimerScan()->isActive());
  EXPECT_EQ(Buttons(), (States{true, true, true}));
  EXPECT_EQ(Panel(0).endsWith(QStringLiteral(" Sec")), true);
  EXPECT_TRUE(errors_.isEmpty());
}

TEST_F(ScanPageTimerTest, StoppingTheTimerDuringATimedRunIsKeptAfterTheRun) {
  WriteFeed("a.xml", Feed("Alpha", Item("one", "First")));
  ScanPage& page = Arm("1");
  for (int i = 0; i < 59; ++i) page.TimerScanTimer();
  // Clicked while the run's scan processes pending events.
  QTimer::singleShot(0, &page, [&] { Find<QPushButton>("ButtonStopTimer")->click(); });
  page.TimerScanTimer();
  EXPECT_EQ(LogLines().back(), W("    Загрузка завершена.Загружено новых сообщений 1"));
  EXPECT_EQ(page.Timer().state(), ScanTimer::State::kStopped);
  EXPECT_FALSE(TimerScan()->isActive());
  EXPECT_EQ(Buttons(), (States{true, true, true}));
}

TEST_F(ScanPageTimerTest, ATimedRunThatFailsLeavesTheTimerStopped) {
  WriteFeed("a.xml", Feed("Alpha", Item("one", "First")));
  ScanPage& page = Arm("1");
  std::filesystem::create_directories(dir_.path() / "store.rss");
  for (int i = 0; i < 59; ++i) page.TimerScanTimer();
  EXPECT_THROW(page.TimerScanTimer(), Error);
  EXPECT_FALSE(TimerScan()->isActive());
  EXPECT_EQ(Buttons(), (States{true, true, true}));
  EXPECT_TRUE(FeedExists("a.xml"));
  // Further ticks of a stopped timer do nothing.
  page.TimerScanTimer();
  EXPECT_EQ(LogLines().back(), W("    Запись найденых сообщений в файл "));
}

TEST_F(ScanPageTimerTest, APeriodThatIsNotAWholeNumberAboveZeroDoesNotArmTheTimer) {
  StartOn();
  for (const char* period : {"0", "-5", "abc", "", "1.5"}) {
    errors_.clear();
    Find<QLineEdit>("EditTimeScan")->setText(QString::fromLatin1(period));
    Find<QPushButton>("ButtonStartOnTimer")->click();
    ASSERT_EQ(errors_.size(), 1) << period;
    EXPECT_TRUE(errors_[0].contains(QStringLiteral("EditTimeScan"))) << errors_[0].toStdString();
    EXPECT_FALSE(TimerScan()->isActive()) << period;
    EXPECT_EQ(Buttons(), (States{true, true, true}));
  }
}

class StoreChoiceTest : public ScanPageTest {
 protected:
  static std::string Store(const std::vector<std::string>& descriptions) {
    std::string store;
    for (const auto& d : descriptions) {
      WriteItemBlock(store, {"C", "t", "https://example.org/", d, "Mon, 30 Nov 2026"}, true);
    }
    return store;
  }
  std::vector<std::string> Keys(const std::vector<std::string>& descriptions) {
    std::vector<std::string> keys;
    for (const auto& d : descriptions) keys.push_back(MessageKey(d));
    std::sort(keys.begin(), keys.end());
    return keys;
  }
  const std::string kRead = "00000000001000000000001";
  const std::string kExtra = "00000000009000000000009";
};

TEST_F(StoreChoiceTest, TheIndexesAreSavedForTheOldStoreAndTakenFromTheNewOne) {
  dir_.Write("a.rss", Store({"a1"}));
  dir_.Write("b.rss", Store({"b1", "b2"}));
  dir_.Write("c.BCRC32", kExtra + "\r\n");  // an index without its store
  dir_.Write("d.rss", Store({"d1"}));
  dir_.Write("d.BCRC32", kExtra + "\r\n");
  dir_.Write("d.RMCRC32", kRead + "\r\n");
  ScanPage& page = StartOn("a.rss");
  AppState& state = window_->State();
  state.readIndex.Add(kRead);

  // The store exists without an index: rebuilt from the store, and saved.
  page.ChooseStore(dir_.Name() + "b.rss");
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditNameFileAllRSS")), dir_.Name() + "b.rss");
  EXPECT_EQ(SplitLines(dir_.Read("a.BCRC32")), Keys({"a1"}));
  EXPECT_EQ(dir_.Read("a.RMCRC32"), kRead + "\r\n");
  EXPECT_EQ(state.storeIndex.Keys(), Keys({"b1", "b2"}));
  EXPECT_EQ(SplitLines(dir_.Read("b.BCRC32")), Keys({"b1", "b2"}));
  EXPECT_EQ(state.readIndex.Size(), 0u);

  // No store: no keys, whatever index file lies there.
  page.ChooseStore(dir_.Name() + "c.rss");
  EXPECT_EQ(state.storeIndex.Size(), 0u);

  // Both files: the index file is taken as it is.
  page.ChooseStore(dir_.Name() + "d.rss");
  EXPECT_EQ(state.storeIndex.Keys(), std::vector<std::string>{kExtra});
  EXPECT_EQ(state.readIndex.Keys(), std::vector<std::string>{kRead});
  EXPECT_TRUE(errors_.isEmpty());
}

TEST_F(StoreChoiceTest, ATypedStoreNameTakesUpThatStoresIndexesBeforeAnySave) {
  dir_.Write("a.rss", Store({"a1"}));
  dir_.Write("b.rss", Store({"b1", "b2"}));
  StartOn("a.rss");
  auto* field = Find<QLineEdit>("EditNameFileAllRSS");
  const auto type = [&](const std::string& name, bool pressReturn) {
    field->setText(QString::fromStdString(dir_.Name() + name));
    if (!pressReturn) return;
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
  };
  window_->State().readIndex.Add(kRead);

  // Ending the edit switches stores as the dialog does.
  type("b.rss", true);
  EXPECT_EQ(window_->State().storeIndex.Keys(), Keys({"b1", "b2"}));
  EXPECT_EQ(SplitLines(dir_.Read("a.BCRC32")), Keys({"a1"}));
  EXPECT_EQ(dir_.Read("a.RMCRC32"), kRead + "\r\n");

  // A run takes up a name still being edited before it touches any index.
  type("a.rss", false);
  WriteFeed("new.xml", Feed("Alpha", Item("two", "a2")));
  Find<QPushButton>("ButtonStartOne")->click();
  EXPECT_EQ(SplitLines(dir_.Read("a.BCRC32")), Keys({"a1", "a2"}));

  // So does the exit: b keeps its own keys, a is saved with the read key it had.
  type("b.rss", false);
  Stop();
  EXPECT_EQ(SplitLines(dir_.Read("a.BCRC32")), Keys({"a1", "a2"}));
  EXPECT_EQ(dir_.Read("a.RMCRC32"), kRead + "\r\n");
  EXPECT_EQ(SplitLines(dir_.Read("b.BCRC32")), Keys({"b1", "b2"}));
  EXPECT_EQ(dir_.Read("b.RMCRC32"), "");
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
}

TEST_F(StoreChoiceTest, AFailedSwitchKeepsTheCurrentStoreAndItsKeys) {
  dir_.Write("a.rss", Store({"a1"}));
  dir_.Write("b.rss", Store({"b1"}));
  std::filesystem::create_directories(dir_.path() / "b.BCRC32");  // cannot be read
  ScanPage& page = StartOn("a.rss");
  AppState& state = window_->State();
  state.storeIndex.Add(kExtra);

  EXPECT_THROW(page.ChooseStore(dir_.Name() + "b.rss"), Error);
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditNameFileAllRSS")), dir_.Name() + "a.rss");
  std::vector<std::string> expected = Keys({"a1"});
  expected.push_back(kExtra);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(state.storeIndex.Keys(), expected);

  // The old index cannot be saved: nothing changes either.
  std::filesystem::remove(dir_.path() / "a.BCRC32");
  std::filesystem::create_directories(dir_.path() / "a.BCRC32");
  dir_.Write("e.rss", Store({"e1"}));
  EXPECT_THROW(page.ChooseStore(dir_.Name() + "e.rss"), Error);
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditNameFileAllRSS")), dir_.Name() + "a.rss");
  EXPECT_EQ(state.storeIndex.Keys(), expected);
}

TEST_F(StoreChoiceTest, TheDialogStartsInTheStoresFolderAndAConfirmedNameSwitchesTheStore) {
  std::filesystem::create_directories(dir_.path() / "stores");
  dir_.Write("stores/a.rss", Store({"a1"}));
  dir_.Write("b.rss", Store({"b1"}));
  ScanPage& page = StartOn("stores/a.rss");
  QString start;
  QTimer::singleShot(0, &page, [&] {
    auto* dialog = Find<QFileDialog>("SaveTextFileDialog");
    start = dialog->directory().absolutePath();
    dialog->selectFile(QString::fromStdString(dir_.Name() + "b.rss"));
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, which checks the name
  });
  Find<QPushButton>("ButtonGetNameFileAllRSS")->click();
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
  EXPECT_EQ(start, QString::fromStdString(dir_.Name() + "stores"));
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditNameFileAllRSS")), dir_.Name() + "b.rss");
  EXPECT_EQ(window_->State().storeIndex.Keys(), Keys({"b1"}));
  EXPECT_TRUE(FileExists(dir_.Name() + "stores/a.BCRC32"));

  QTimer::singleShot(0, &page, [&] { Find<QFileDialog>("SaveTextFileDialog")->reject(); });
  Find<QPushButton>("ButtonGetNameFileAllRSS")->click();
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditNameFileAllRSS")), dir_.Name() + "b.rss");
}

TEST_F(StoreChoiceTest, StartUpMendsAKilledAppendAndExitKeepsTheKeysAnotherProcessSaved) {
  const std::string whole = Store({"a1"});
  dir_.Write("a.rss", whole + Store({"a2"}).substr(0, 30));  // a run killed mid-append
  dir_.Write("a.BCRC32", MessageKey("a1") + "\r\n");
  dir_.Write("a.state", "length=" + std::to_string(whole.size()) +
                            "\r\nmtime=0\r\nappending-to=" + std::to_string(whole.size() + 99));
  StartOn("a.rss");
  EXPECT_EQ(dir_.Read("a.rss"), whole);
  EXPECT_EQ(window_->State().storeIndex.Keys(), Keys({"a1"}));

  // vorlin-cli ingests into the same store while the window is open.
  WriteFeed("f.xml", Feed("F", Item("f", "f1")));
  ASSERT_EQ(test::RunCli("--config-dir " + dir_.Name() + " ingest --store " + dir_.Name() +
                         "a.rss --scan " + Feeds())
                .status,
            0);
  Stop();
  EXPECT_EQ(SplitLines(dir_.Read("a.BCRC32")), Keys({"a1", "f1"}));
  EXPECT_TRUE(errors_.isEmpty());
}

}  // namespace
}  // namespace vorlin::testing
