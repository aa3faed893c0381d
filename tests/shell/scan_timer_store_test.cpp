// The ingestion timer of the scan page, tick by tick, and the choice of another store.
#include <QApplication>
#include <QCoreApplication>
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

// The timer logic itself is tested on ScanTimer; here, how the page drives it.
TEST_F(ScanPageTest, TheTimerButtonsArmTheTimerWhichRunsTheScanUntilStopped) {
  ScanPage& page = StartOn();
  auto* timer = Find<QTimer>("TimerScan");
  const auto arm = [&](const char* period) {
    Find<QLineEdit>("EditTimeScan")->setText(QString::fromLatin1(period));
    Find<QPushButton>("ButtonStartOnTimer")->click();
  };
  arm("abc");
  ASSERT_EQ(errors_.size(), 1);
  EXPECT_TRUE(errors_[0].contains(QStringLiteral("time lag between scan directory")))
      << errors_[0].toStdString();
  EXPECT_FALSE(timer->isActive());
  EXPECT_EQ(Buttons(), (States{true, true, true}));
  errors_.clear();

  WriteFeed("a.xml", Feed("Alpha", Item("one", "First")));
  arm("1");
  EXPECT_EQ(timer->interval(), 1000);
  EXPECT_EQ(Buttons(), (States{false, false, true}));
  // The timer drives the page's handler.
  timer->setInterval(0);
  QCoreApplication::processEvents();
  timer->setInterval(1000);
  EXPECT_TRUE(Panel(0).endsWith(QStringLiteral(" сек (Sec)"))) << Panel(0).toStdString();
  // Stopping while the run's scan processes pending events is kept after the run.
  QTimer::singleShot(0, &page, [&] { Find<QPushButton>("ButtonStopTimer")->click(); });
  for (int i = 0; i < 60 && LogLines().empty(); ++i) page.TimerScanTimer();
  EXPECT_EQ(LogLines().back(), W("    Загрузка завершена.Загружено новых сообщений 1"));
  EXPECT_FALSE(timer->isActive());
  EXPECT_EQ(Buttons(), (States{true, true, true}));
  EXPECT_TRUE(errors_.isEmpty());
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

TEST_F(StoreChoiceTest, TheDialogSwitchesTheStoreAndAFailedSwitchKeepsTheCurrentOne) {
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
  AppState& state = window_->State();
  EXPECT_EQ(state.storeIndex.Keys(), Keys({"b1"}));
  state.storeIndex.Add(kExtra);
  const std::vector<std::string> expected = state.storeIndex.Keys();

  // The new index cannot be read, then the old one cannot be saved: nothing changes.
  dir_.Write("c.rss", Store({"c1"}));
  std::filesystem::create_directories(dir_.path() / "c.BCRC32");
  EXPECT_THROW(page.ChooseStore(dir_.Name() + "c.rss"), Error);
  std::filesystem::remove(dir_.path() / "b.BCRC32");
  std::filesystem::create_directories(dir_.path() / "b.BCRC32");
  EXPECT_THROW(page.ChooseStore(dir_.Name() + "d.rss"), Error);
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditNameFileAllRSS")), dir_.Name() + "b.rss");
  EXPECT_EQ(state.storeIndex.Keys(), expected);
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
