// The downloads page and the float window in the real main window, offscreen, against the
// test's feed server.
#include "download/downloads_page.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <clocale>
#include <filesystem>

#include "app/status_line.h"
#include "download/float_window.h"
#include "feed_server.h"
#include "window_fixture.h"

namespace vorlin::testing {
namespace {

using namespace std::chrono_literals;

class DownloadsPageTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(server_.Up());
    std::filesystem::create_directory(dir_.path() / "down");
  }

  DownloadsPage& Open(const std::vector<std::string>& rows) {
    std::string list = "h;\r\n";
    for (const std::string& row : rows) list += row + "\r\n";
    dir_.Write("DLFiles.txt", list);
    TMain& window = Start({"--page", "2"});
    DownloadsPage& page = window.Downloads();
    page.SetClock([this] { return now_; });
    FetchLimits limits;
    limits.lowSpeedTime = 300ms;
    page.SetFetchLimits(limits);
    Find<QLineEdit>("EditDirSaveDFiles")->setText(QString::fromStdString(dir_.Name() + "down"));
    return page;
  }

  // Processes events until `done` holds or 5 s have passed; returns whether it holds.
  template <typename Done>
  static bool Until(Done done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return done();
  }
  // Until the page's download and feed discovery have ended.
  void Wait(DownloadsPage& page) {
    EXPECT_TRUE(Until([&] { return !page.Downloading() && !page.Discovering(); }));
  }
  // Types a row into the edit fields.
  void Type(const std::string& url, const char* hours = "") {
    Find<QLineEdit>("EditURL")->setText(QString::fromStdString(url));
    Find<QLineEdit>("EditFrequencyLoadHours")->setText(hours);
  }

  QStringList Log() {
    QString text = Find<QPlainTextEdit>("MemoLog")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
  }
  QString Cell(int row, int column) {
    QTableWidgetItem* item = Find<QTableWidget>("SGridDF")->item(row - 1, column);
    return item != nullptr ? item->text() : QString();
  }

  test::FeedServer server_;
  std::time_t now_ = [] {
    std::setlocale(LC_TIME, "C");  // the stamps' form, here and in the page
    return *ParseStamp("12/07/26 00:30:00");
  }();
};

TEST_F(DownloadsPageTest, DownloadAllFetchesLogsStampsAndTheListSurvivesARestart) {
  DownloadsPage& page = Open(
      {server_.Url("/feed/a") + ";;1;;;first;", server_.Url("/status/500") + ";old;1;;;second;"});
  auto* all = Find<QPushButton>("ButtonDownloadAll");
  all->click();
  EXPECT_TRUE(page.Downloading());
  EXPECT_FALSE(all->isEnabled());
  EXPECT_FALSE(Find<QTableWidget>("SGridDF")->isEnabled());
  Wait(page);
  EXPECT_TRUE(all->isEnabled());
  EXPECT_EQ(Log().join('\n').toStdString(),
            " Файл загружен (File Download Ok.)" + server_.Url("/feed/a") +
                " 12/07/26 00:30:00\n Ошибка загрузки  (Not Download ...)" +
                server_.Url("/status/500") + " 12/07/26 00:30:00");
  EXPECT_EQ(Cell(1, 1), "12/07/26 00:30:00");
  EXPECT_EQ(Cell(2, 1), "");
  const std::string file = "down/127.0.0.1:" + std::to_string(server_.port()) + "_1.xml";
  EXPECT_NE(dir_.Read(file).find("<title>a</title>"), std::string::npos);

  Type(server_.Url("/feed/added"));
  Find<QPushButton>("ButtonUrlAdd")->click();
  Wait(page);
  Stop();
  Start();
  EXPECT_EQ(Cell(1, 1), "12/07/26 00:30:00");
  EXPECT_EQ(Cell(3, 0).toStdString(), server_.Url("/feed/added"));
  EXPECT_EQ(Find<QTableWidget>("SGridDF")->horizontalHeaderItem(0)->text(), "URL-Адрес");
}

TEST_F(DownloadsPageTest, StopAndClosingTheWindowAbortTheTransferAndRowsKeepTheirStamps) {
  DownloadsPage& page =
      Open({server_.Url("/trickle") + ";old;1;;;slow;", server_.Url("/feed/b") + ";old;;;;"});
  page.SetFetchLimits(FetchLimits{});  // the trickle may not fail by itself meanwhile
  Find<QSpinBox>("SpinEditParallelDownloads")->setValue(1);
  auto* all = Find<QPushButton>("ButtonDownloadAll");
  all->click();
  Find<QPushButton>("ButtonStopAll")->click();  // while the first feed is being fetched
  Wait(page);
  ASSERT_EQ(Log().size(), 1);
  EXPECT_TRUE(Log()[0].startsWith(" Загрузка прервана (Download aborted)"));
  EXPECT_EQ(Cell(1, 1), "old");
  EXPECT_EQ(Cell(2, 1), "old");
  const auto down = dir_.path() / "down";
  EXPECT_TRUE(std::filesystem::is_empty(down));

  all->click();
  ASSERT_TRUE(Until([&] { return !std::filesystem::is_empty(down); }));  // the partial file
  const auto list = dir_.path() / "DLFiles.txt";
  const auto written = std::filesystem::last_write_time(list);
  window_->close();
  EXPECT_TRUE(Until([&] { return std::filesystem::last_write_time(list) != written; }));
  EXPECT_FALSE(page.Downloading());
  EXPECT_TRUE(std::filesystem::is_empty(down));
  EXPECT_NE(dir_.Read("DLFiles.txt").find("/trickle;old;1;;;slow;"), std::string::npos);
}

TEST_F(DownloadsPageTest, TimerModeChecksEverySixtyFirstTickAndStops) {
  DownloadsPage& page = Open({server_.Url("/feed/hourly") + ";;0;1;0;"});
  auto* onTimer = Find<QPushButton>("ButtonDownloadAllOnTimer");
  onTimer->click();
  EXPECT_FALSE(onTimer->isEnabled());
  for (int i = 0; i < 60; ++i) page.TimerDownloadAllTimer();
  EXPECT_EQ(window_->Status().PanelText(0), "   60");
  page.TimerDownloadAllTimer();  // the check: the new row is stamped, not fetched
  Wait(page);
  EXPECT_EQ(Cell(1, 1), "12/07/26 00:30:00");
  EXPECT_TRUE(Log().isEmpty());

  now_ += 3600;
  for (int i = 0; i < 61; ++i) page.TimerDownloadAllTimer();
  Wait(page);
  EXPECT_EQ(Log().size(), 1);
  EXPECT_EQ(Cell(1, 1), "12/07/26 01:30:00");

  Find<QPushButton>("ButtonStopAll")->click();
  page.TimerDownloadAllTimer();
  EXPECT_FALSE(page.Timer().On());
  EXPECT_TRUE(onTimer->isEnabled());
  EXPECT_EQ(window_->Status().PanelText(0), "");
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("\n").toStdString();
}

TEST_F(DownloadsPageTest, BadFrequencyAndEmptyFolderAreReported) {
  DownloadsPage& page = Open({server_.Url("/feed/a") + ";12/07/26 00:00:00;0;24;0;"});
  Find<QPushButton>("ButtonDownloadAllOnTimer")->click();
  for (int i = 0; i < 60; ++i) page.TimerDownloadAllTimer();
  const std::string error = test::ErrorText([&] { page.TimerDownloadAllTimer(); });
  EXPECT_NE(error.find("row 1, column \"Hours\""), std::string::npos) << error;
  EXPECT_TRUE(Find<QTimer>("TimerDownloadAll")->isActive());  // the check comes back next time
  // ... and fails the same way, but is shown once, not every minute.
  for (int i = 0; i < 60; ++i) page.TimerDownloadAllTimer();
  EXPECT_EQ(test::ErrorText([&] { page.TimerDownloadAllTimer(); }), "no error");
  Find<QPushButton>("ButtonStopAll")->click();
  page.TimerDownloadAllTimer();

  Find<QLineEdit>("EditDirSaveDFiles")->setText("  ");
  Find<QPushButton>("ButtonDownloadAll")->click();
  ASSERT_EQ(errors_.size(), 1);
  EXPECT_TRUE(errors_[0].contains("Download folder"));
  EXPECT_FALSE(page.Downloading());
}

// A drag entering `target` and dropped there, as the platform delivers it.
void Drop(QWidget* target, QMimeData* data) {
  QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(2, 2), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
}

TEST_F(DownloadsPageTest, DroppedTextReplacesOnlyTheDropFields) {
  Open({});
  auto* url = Find<QLineEdit>("EditURL");
  auto* comment = Find<QLineEdit>("EditCommentary");
  auto* folder = Find<QLineEdit>("EditDirSaveDFiles");
  url->setText("old");
  QMimeData text;
  text.setText("http://dropped.example/rss\r\n");
  Drop(url, &text);
  EXPECT_EQ(url->text(), "http://dropped.example/rss");
  QMimeData links;
  links.setUrls({QUrl("http://a.example/1")});
  Drop(comment, &links);
  EXPECT_EQ(comment->text(), "http://a.example/1");
  const QString before = folder->text();
  Drop(folder, &text);
  Drop(Find<QWidget>("GroupBoxCLoad"), &text);
  EXPECT_EQ(folder->text(), before);
  QMimeData image;
  image.setData("image/png", "x");
  Drop(url, &image);
  EXPECT_EQ(url->text(), "http://dropped.example/rss");
}

TEST_F(DownloadsPageTest, FloatWindowAppendsItsEntriesInOrder) {
  DownloadsPage& page = Open({});
  TFormPopUp& bob = window_->FormPopUp();
  auto* bobUrl = bob.findChild<QLineEdit*>("EditUrl");
  auto* bobComment = bob.findChild<QPlainTextEdit*>("MemoCom");
  QTimer::singleShot(0, &bob, [&] {
    QMimeData text;
    text.setText(QString::fromStdString(server_.Url("/feed/one")));
    Drop(bobUrl, &text);
    QMimeData memo;
    memo.setText("line one\nline two");
    Drop(bobComment->viewport(), &memo);
    bob.ButtonAClick();
    bob.ButtonNClick();
    bobUrl->setText(QString::fromStdString(server_.Url("/site/two")));
    bob.findChild<QLineEdit*>("EditH")->setText("3");
    bob.ButtonAClick();
    bob.ButtonNClick();
    bobUrl->setText(QString::fromStdString(server_.Url("/status/200")));  // announces no feed
    bob.ButtonAClick();
    bob.ButtonEClick();
  });
  page.ButtonBobClick();
  Wait(page);
  // The site's page gives way to its feed; the page without a feed is reported, not added.
  const DownloadGrid& grid = page.Grid();
  ASSERT_EQ(grid.RowCount(), 3);
  EXPECT_EQ(grid.rows[1],
            (DownloadRow{server_.Url("/feed/one"), "", "1", "", "", "line one line two"}));
  EXPECT_EQ(grid.rows[2], (DownloadRow{server_.Url("/feed/two"), "", "", "3", "", ""}));
  EXPECT_EQ(Cell(2, 0).toStdString(), server_.Url("/feed/two"));
  EXPECT_EQ(Log().size(), 1);
  ASSERT_EQ(errors_.size(), 1);
  EXPECT_TRUE(errors_[0].contains("announces no RSS or Atom feed"));
}

TEST_F(DownloadsPageTest, AFreshGridHasNoRowAndRowsAreCheckedBeforeTheyAreAdded) {
  Start({"--page", "2"});
  DownloadsPage& page = window_->Downloads();
  auto* grid = Find<QTableWidget>("SGridDF");
  EXPECT_EQ(grid->rowCount(), 0);
  Find<QPushButton>("ButtonDownloadOneFile")->click();
  Find<QPushButton>("ButtonUrlSave")->click();
  ASSERT_EQ(errors_.size(), 2);
  EXPECT_TRUE(errors_[1].contains("No row of the list is selected"));

  Type("file:///etc/passwd");
  Find<QPushButton>("ButtonUrlAdd")->click();
  ASSERT_EQ(errors_.size(), 3);
  EXPECT_TRUE(errors_[2].contains("Адрес (URL)"));
  EXPECT_EQ(page.Grid().RowCount(), 1);

  Type(server_.Url("/feed/a"), "2");
  Find<QPushButton>("ButtonUrlAdd")->click();
  Type(server_.Url("/site/b"));
  Find<QPushButton>("ButtonUrlAdd")->click();
  Wait(page);
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(grid->currentRow(), 1);  // the new row is selected and in the fields
  EXPECT_EQ(Find<QLineEdit>("EditURL")->text().toStdString(), server_.Url("/feed/b"));
  Type(server_.Url("/feed/a"), "x");
  Find<QPushButton>("ButtonUrlSave")->click();
  EXPECT_EQ(errors_.size(), 4);
  EXPECT_EQ(Cell(2, 0).toStdString(), server_.Url("/feed/b"));
}

TEST_F(DownloadsPageTest, TheSelectedRowIsInTheFieldsAndLoadingAListAsksFirst) {
  DownloadsPage& page = Open({server_.Url("/feed/a") + ";old;0;5;0;first;"});
  EXPECT_EQ(Find<QLineEdit>("EditURL")->text().toStdString(), server_.Url("/feed/a"));
  EXPECT_EQ(Find<QLineEdit>("EditFrequencyLoadHours")->text(), "5");
  Find<QPushButton>("ButtonUrlSave")->click();  // Save as shown keeps the row
  EXPECT_EQ(page.Grid().rows[1], (DownloadRow{server_.Url("/feed/a"), "", "0", "5", "0", "first"}));

  dir_.Write("bare.RssUrl", "http://b.example/1;;1;;;b1;\r\nhttp://b.example/2;\r\n");
  dir_.Write("feeds.opml", "<opml version=\"2.0\"><body/></opml>");
  int asked = 0;
  bool answer = false;
  page.SetAsk([&](const QString&) {
    ++asked;
    return answer;
  });
  EXPECT_NE(
      test::ErrorText([&] { page.LoadListFrom(dir_.Name() + "feeds.opml"); }).find("is not a list"),
      std::string::npos);
  page.LoadListFrom(dir_.Name() + "bare.RssUrl");
  EXPECT_EQ(page.Grid().RowCount(), 2);
  answer = true;
  page.LoadListFrom(dir_.Name() + "bare.RssUrl");
  EXPECT_EQ(asked, 2);
  ASSERT_EQ(page.Grid().RowCount(), 3);  // the first line was a feed, not a header
  EXPECT_EQ(Find<QLineEdit>("EditURL")->text(), "http://b.example/1");
  EXPECT_EQ(Find<QLineEdit>("EditCommentary")->text(), "b1");
  ASSERT_EQ(Log().size(), 1);
  EXPECT_TRUE(Log()[0].contains("is kept as a row of the list"));
}

}  // namespace
}  // namespace vorlin::testing
