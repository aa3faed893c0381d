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
    std::setlocale(LC_TIME, "C");
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
    limits.stallTimeout = 300ms;
    page.SetFetchLimits(limits);
    Find<QLineEdit>("EditDirSaveDFiles")->setText(QString::fromStdString(dir_.Name() + "down"));
    return page;
  }

  // Processes events until the page's download has ended (bounded).
  void Wait(DownloadsPage& page) {
    QElapsedTimer clock;
    clock.start();
    while (page.Downloading() && clock.elapsed() < 10000) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    EXPECT_FALSE(page.Downloading());
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
  std::time_t now_ = *ParseStampC("12/07/26 00:30:00");

 private:
  static std::optional<std::time_t> ParseStampC(const char* stamp) {
    std::setlocale(LC_TIME, "C");
    return ParseStamp(stamp);
  }
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
  EXPECT_EQ(
      Log(),
      QStringList({QString::fromStdString(" Файл загружен (File Download Ok.)" +
                                          server_.Url("/feed/a") + " 12/07/26 00:30:00"),
                   QString::fromStdString(" Ошибка загрузки  (Not Download ...)" +
                                          server_.Url("/status/500") + " 12/07/26 00:30:00")}));
  EXPECT_EQ(Cell(1, 1), "12/07/26 00:30:00");
  EXPECT_EQ(Cell(2, 1), "");
  const std::string file = "down/127.0.0.1:" + std::to_string(server_.port()) + "_1.xml";
  EXPECT_NE(dir_.Read(file).find("<title>a</title>"), std::string::npos);

  Find<QLineEdit>("EditURL")->setText("http://added.example/rss");
  Find<QPushButton>("ButtonUrlAdd")->click();
  Stop();
  Start();
  EXPECT_EQ(Cell(1, 1), "12/07/26 00:30:00");
  EXPECT_EQ(Cell(3, 0), "http://added.example/rss");
  EXPECT_EQ(Find<QTableWidget>("SGridDF")->horizontalHeaderItem(0)->text(), "URL-Адрес");
}

TEST_F(DownloadsPageTest, StopEndsTheBatchAfterTheCurrentFeed) {
  DownloadsPage& page =
      Open({server_.Url("/silent") + ";;;;;", server_.Url("/feed/b") + ";old;;;;"});
  Find<QPushButton>("ButtonDownloadAll")->click();
  Find<QPushButton>("ButtonStopAll")->click();  // while the first feed is being fetched
  Wait(page);
  EXPECT_EQ(Log().size(), 1);
  EXPECT_EQ(Cell(2, 1), "old");
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
    text.setText("http://one.example/");
    Drop(bobUrl, &text);
    QMimeData memo;
    memo.setText("line one\nline two");
    Drop(bobComment->viewport(), &memo);
    bob.ButtonAClick();
    bob.ButtonNClick();
    bobUrl->setText("http://two.example/");
    bob.findChild<QLineEdit*>("EditH")->setText("3");
    bob.ButtonAClick();
    bob.ButtonNClick();
    bobUrl->setText("http://three.example/");
    bob.ButtonAClick();
    bob.ButtonEClick();
  });
  page.ButtonBobClick();
  const DownloadGrid& grid = page.Grid();
  ASSERT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.rows[2],
            (DownloadRow{"http://one.example/", "", "1", "", "", "line one line two"}));
  EXPECT_EQ(grid.rows[3], (DownloadRow{"http://two.example/", "", "", "3", "", ""}));
  EXPECT_EQ(grid.rows[4][kColUrl], "http://three.example/");
  EXPECT_EQ(Cell(4, 0), "http://three.example/");
}

}  // namespace
}  // namespace vorlin::testing
