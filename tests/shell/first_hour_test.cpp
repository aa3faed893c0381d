// A new user's first hour in the real window: downloads reach the store and the lists by
// themselves, the store loads at start-up, a typed word turns the filter on, the views follow
// the message list, and the log shows its newest line.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include "download/downloads_page.h"
#include "ingest/folder_scan.h"
#include "reader/search_page.h"
#include "scan_page_support.h"
#include "store/store_format.h"

namespace vorlin::testing {
namespace {

// Processes events until `done` holds (the store loads on a thread of its own).
template <typename Done>
bool Until(Done done) {
  for (int i = 0; i < 2000 && !done(); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return done();
}

void Type(QWidget* target, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
}

class FirstHour : public ScanPageTest {
 protected:
  std::string Store(const std::vector<std::array<const char*, 3>>& rows) {
    std::string store;
    for (const auto& r : rows) {
      WriteItemBlock(
          store, {W(r[0]), W(r[1]), "http://a/" + W(r[1]), W(r[2]), "Mon, 09 Mar 2026 10:00:00 "},
          true);
    }
    return store;
  }
  bool Logged(const char* text) {
    for (const std::string& line : LogLines()) {
      if (line.find(W(text)) != std::string::npos) return true;
    }
    return false;
  }
};

TEST_F(FirstHour, DownloadsGoToTheStoreAndTheLoadedListTakesTheirMessages) {
  dir_.Write("store.rss", Store({{"Старый", "Первое", "текст"}}));
  StartOn();
  SetControlText(Find<QWidget>("MRSSDir"), "");  // only the download folder is scanned
  std::filesystem::create_directories(dir_.path() / "downloads");
  SetControlText(Find<QLineEdit>("EditDirSaveDFiles"), dir_.Name() + "downloads");
  AppState& state = window_->State();

  // The store loads once the window is shown, without a button.
  window_->show();
  ASSERT_TRUE(Until([&] { return state.messages.Count() == 1; }));
  EXPECT_TRUE(Until([&] { return !window_->Search().LoadInProgress(); }));
  EXPECT_EQ(Panel(2), QStringLiteral("Всего сообщений 1, каналов 1 (Messages 1, channels 1)"));
  state.accumulator.Union({0});

  // A finished download adds the download folder to the store, and the list takes the new
  // messages without forgetting the old ones' numbers.
  dir_.Write("downloads/host_1.xml", Feed("News", Item("A", "one") + Item("B", "two")));
  emit window_->Downloads().DownloadFinished();
  ASSERT_TRUE(Until([&] { return state.messages.Count() == 3; }));
  EXPECT_TRUE(Logged("Добавление загруженного в хранилище"));
  EXPECT_TRUE(Logged("Загружено новых сообщений 2"));
  EXPECT_EQ(state.messages.title[0], W("Первое"));
  EXPECT_EQ(state.accumulator.Count(), 1);
  EXPECT_EQ(state.channels, (std::vector<std::string>{"News", W("Старый")}));
  EXPECT_EQ(Find<QListWidget>("ListBoxChannelAll")->count(), 2);

  // Turned off, a download adds nothing.
  Find<QCheckBox>("CBoxAddDownloadsToStore")->setChecked(false);
  const size_t lines = LogLines().size();
  dir_.Write("downloads/host_2.xml", Feed("News", Item("C", "three")));
  emit window_->Downloads().DownloadFinished();
  QCoreApplication::processEvents();
  EXPECT_EQ(LogLines().size(), lines);
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
}

TEST_F(FirstHour, TypingTurnsTheFilterOnAndTheViewsFollowTheList) {
  dir_.Write(
      "store.rss",
      Store({{"Погода", "Дождь", "вода"}, {"Sport", "Матч", "мяч"}, {"Sport", "Гол", "мяч"}}));
  StartOn();
  Find<QPushButton>("ButtonLoadAllFromArx")->click();
  auto* filter = Find<QCheckBox>("CBoxSetFiler");
  auto* title = Find<QLineEdit>("EditSTitle");
  auto* shown = Find<QLineEdit>("EditWBTitle");
  auto* list = Find<QListView>("ListBoxTitle");
  ASSERT_FALSE(filter->isChecked());
  Type(title, Qt::Key_A, QStringLiteral("м"));
  EXPECT_TRUE(filter->isChecked());
  filter->setChecked(false);  // the user may turn it off again
  Type(title, Qt::Key_Backspace);
  EXPECT_FALSE(filter->isChecked());

  // "Найти и показать" shows the first message; the keyboard moves on to the next.
  Find<QPushButton>("ButtonFindAndShow")->click();
  ASSERT_EQ(list->model()->rowCount(), 3);
  auto titleOf = [&](int row) {
    return list->model()->index(row, 0).data().toString().section(QStringLiteral("... "), 1);
  };
  EXPECT_EQ(shown->text(), titleOf(0));
  Type(list, Qt::Key_Down);
  EXPECT_EQ(shown->text(), titleOf(1));
  const QString second = titleOf(1);

  // A new list that holds the shown message selects it; one that does not clears the views.
  filter->setChecked(true);
  Find<QLineEdit>("EditSDescription")->setText(QStringLiteral("мяч"));
  Find<QPushButton>("ButtonFound")->click();
  EXPECT_EQ(shown->text(), second);
  EXPECT_EQ(list->currentIndex().data().toString(), second);
  Find<QLineEdit>("EditSDescription")->setText(QStringLiteral("вода"));
  Find<QPushButton>("ButtonFound")->click();
  EXPECT_EQ(shown->text(), QString());
  EXPECT_EQ(Find<QPlainTextEdit>("MemoMess")->toPlainText(), QString());
}

TEST_F(FirstHour, TheLogFollowsItsLinesAndOneScanFolderCanBeRemoved) {
  ScanPage& page = StartOn();
  window_->show();
  for (int i = 0; i < 200; ++i) page.AppendLog(QString::number(i));
  QScrollBar* bar = Find<QPlainTextEdit>("MemoLog")->verticalScrollBar();
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_GT(bar->maximum(), 0);

  auto* folders = Find<QPlainTextEdit>("MRSSDir");
  folders->setPlainText(QStringLiteral("/a\n/b\n/c"));
  QTextCursor cursor = folders->textCursor();
  cursor.setPosition(folders->document()->findBlockByNumber(1).position());
  folders->setTextCursor(cursor);
  Find<QPushButton>("ButtonDelDirInMRSSDir")->click();
  EXPECT_EQ(folders->toPlainText(), QStringLiteral("/a\n/c"));
}

// The download folder joins a run's scan folders unless a listed folder already reaches it.
TEST(DownloadFolder, JoinsTheScanFoldersOnlyWhenNoneReachesIt) {
  test::TempDir dir;
  const std::string top = dir.Folder();  // ends in "/"
  std::filesystem::create_directories(dir.path() / "feeds" / "dl");
  const std::string dl = top + "feeds/dl";
  using V = std::vector<std::string>;
  EXPECT_EQ(WithDownloadFolder({"/x"}, dl, true), (V{"/x", dl}));
  EXPECT_EQ(WithDownloadFolder({" " + dl + "/ "}, dl, false), (V{" " + dl + "/ "}));
  EXPECT_EQ(WithDownloadFolder({top + "feeds"}, dl, true), (V{top + "feeds"}));
  EXPECT_EQ(WithDownloadFolder({top + "feeds"}, dl, false), (V{top + "feeds", dl}));
  EXPECT_EQ(WithDownloadFolder({"/x"}, "  ", true), (V{"/x"}));
}

}  // namespace
}  // namespace vorlin::testing
