// One-shot ingestion runs from the scan page: the log, the store, the buttons, failures, and
// the two buttons of the scan folder list.
#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include "ingest/duplicate_files.h"
#include "scan_page_support.h"
#include "store/store_format.h"
#include "util/file_io.h"

namespace vorlin::testing {
namespace {

const char* const kDate = "Mon, 30 Nov 2026 09:00:00 GMT";

class ScanRunTest : public ScanPageTest {};

TEST_F(ScanRunTest, AOneShotRunLogsEveryStepAppendsTheNewMessagesAndLocksTheButtons) {
  // A store of one message; two identical feeds, a feed with one item already in the store
  // and one already in the first feed, and a broken feed.
  std::string store;
  WriteItemBlock(store, {"Old", "zero", "https://example.org/zero", "Old news", kDate}, true);
  dir_.Write("store.rss", store);
  const std::string a = Feed("Alpha", Item("one", "First") + Item("two", "Second"));
  WriteFeed("a.xml", a);
  WriteFeed("b.xml", a);
  WriteFeed("c.xml", Feed("Гамма", Item("three", "Третий ]]&gt; конец") + Item("four", "First") +
                                       Item("old", "Old news")));
  WriteFeed("bad.xml", "<rss version=\"2.0\"><channel><title>cut off");
  const std::string feeds = Feeds() + "/";
  const uintmax_t copy = std::filesystem::file_size(feeds + "a.xml");
  const uintmax_t total = 2 * copy + std::filesystem::file_size(feeds + "c.xml") +
                          std::filesystem::file_size(feeds + "bad.xml");
  ScanPage& page = StartOn();

  // Inside the run, while the scan processes pending events: every button is disabled and
  // the store cannot be swapped under it.
  std::vector<bool> during;
  bool swapRefused = false;
  QTimer::singleShot(0, &page, [&] {
    during = Buttons();
    try {
      page.ChooseStore(dir_.Name() + "other.rss");
    } catch (const Error& e) {
      swapRefused = std::string(e.what()).find("in progress") != std::string::npos;
    }
  });
  Find<QPushButton>("ButtonStartOne")->click();
  ASSERT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
  EXPECT_EQ(during, (States{false, false, false}));
  EXPECT_TRUE(swapRefused);
  EXPECT_EQ(Buttons(), (States{true, true, true}));

  // The ingestion run's tests hold every text in order; here, that the log pane shows them.
  const Lines log = LogLines();
  ASSERT_EQ(log.size(), 9u);
  EXPECT_EQ(log[2],
            "All scan files=4 All scan files size =" + FormatDigitGroups(std::to_string(total)) +
                " All test=2 Dubl- 1 Size dubl= " + FormatDigitGroups(std::to_string(copy)));
  EXPECT_EQ(log[5], W(" Ошибка при парсинге файла ") + feeds + "bad.xml");
  EXPECT_EQ(log[7], W("    Загрузка завершена.Загружено новых сообщений 3"));
  EXPECT_EQ(Panel(2), QStringLiteral("Обработано 100% (Processed 100%), файл (file) ") +
                          QString::fromStdString(feeds) + QStringLiteral("c.xml"));
  EXPECT_EQ(SplitLines(dir_.Read("store.BCRC32")), window_->State().storeIndex.Keys());
  EXPECT_EQ(window_->State().storeIndex.Size(), 4u);
  EXPECT_TRUE(FeedExists("a.xml"));
  EXPECT_FALSE(FeedExists("b.xml"));
  EXPECT_FALSE(FeedExists("bad.xml"));
}

TEST_F(ScanRunTest, NoRunOverAStoreWhoseIndexCouldNotBeRebuilt) {
  WriteFeed("a.xml", Feed("Alpha", Item("one", "First")));
  dir_.Write("store.rss", "<item><title>cut short");
  ScanPage& page = StartOn();
  ASSERT_EQ(errors_.size(), 1);  // the rebuild at start-up
  Find<QPushButton>("ButtonStartOne")->click();
  ASSERT_EQ(errors_.size(), 2);
  EXPECT_TRUE(errors_[1].contains(QStringLiteral("store index"))) << errors_[1].toStdString();
  EXPECT_EQ(dir_.Read("store.rss"), "<item><title>cut short");
  EXPECT_FALSE(FileExists(dir_.Name() + "store.BCRC32"));
  EXPECT_EQ(Buttons(), (States{true, true, true}));
  // Choosing a sound store mends it.
  page.ChooseStore(dir_.Name() + "other.rss");
  Find<QPushButton>("ButtonStartOne")->click();
  EXPECT_EQ(errors_.size(), 2);
  EXPECT_EQ(window_->State().storeIndex.Size(), 1u);
}

TEST_F(ScanRunTest, TheFolderListButtonsAppendAChosenFolderAndEmptyTheList) {
  ScanPage& page = StartOn();
  std::filesystem::create_directories(dir_.path() / "more");
  page.AddScanFolderLine(dir_.Name() + "more");
  EXPECT_EQ(SplitLines(ControlText(Find<QWidget>("MRSSDir"))),
            (std::vector<std::string>{Feeds(), dir_.Name() + "more"}));
  // The picker starts in the folder of the last line; cancelling it changes nothing.
  QString start;
  QTimer::singleShot(0, &page, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    start = dialog->directory().absolutePath();
    dialog->reject();
  });
  Find<QPushButton>("ButtonAddDirToMRSSDir")->click();
  EXPECT_EQ(start, QString::fromStdString(dir_.Name() + "more"));
  EXPECT_EQ(SplitLines(ControlText(Find<QWidget>("MRSSDir"))).size(), 2u);
  Find<QPushButton>("ButtonCleanAllInMRSSDir")->click();
  EXPECT_EQ(ControlText(Find<QWidget>("MRSSDir")), "");
}

}  // namespace
}  // namespace vorlin::testing
