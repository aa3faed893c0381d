// The reader in the real window: searches typed into the search page, the message list, every
// view of a clicked message, navigation, read status, the accumulator, links and the clipboard.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "app/control_state.h"
#include "app/html_view.h"
#include "app/status_line.h"
#include "reader/export_options_dialog.h"
#include "store/store_format.h"
#include "window_fixture.h"

namespace vorlin::testing {
namespace {

class ReaderWindow : public WindowTest {
 protected:
  void StartWithStore() {
    std::string store;
    const char* rows[][5] = {
        {"Погода", "Дождь", "http://a/1", "<b>нефть</b> и газ", "Tue, 10 Mar 2026 10:00:00 "},
        {"Sport", "Матч", "file:///etc/passwd", "нефть", "Mon, 09 Mar 2026 23:58:00 "},
        {"Sport", "Гол", "http://a/3", "уголь", "Sun, 08 Mar 2026 08:00:00 "},
    };
    for (auto& r : rows) WriteItemBlock(store, {W(r[0]), W(r[1]), r[2], W(r[3]), r[4]}, true);
    dir_.Write("s.rss", store);
    Start({QStringLiteral("--store"), QString::fromStdString(dir_.Name() + "s.rss")});
    Find<QPushButton>("ButtonLoadAllFromArx")->click();
    list_ = Find<QListView>("ListBoxTitle");
  }
  QStringList Lines() {
    QStringList lines;
    for (int r = 0; r < list_->model()->rowCount(); ++r) {
      lines << list_->model()->index(r, 0).data().toString();
    }
    return lines;
  }
  void ClickLine(int row) {
    QModelIndex index = list_->model()->index(row, 0);
    list_->setCurrentIndex(index);
    emit list_->clicked(index);
  }
  void Search(const char* description, const char* button) {
    Find<QCheckBox>("CBoxSetFiler")->setChecked(true);
    Find<QLineEdit>("EditSDescription")->setText(QString::fromUtf8(description));
    Find<QPushButton>(button)->click();
  }
  void Press(QObject* target, QEvent::Type type) {
    QMouseEvent event(type, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
  }
  QListView* list_ = nullptr;
};

TEST_F(ReaderWindow, FindAndShowListsSortedLinesAndAClickFillsEveryView) {
  StartWithStore();
  Search("нефть", "ButtonFindAndShow");
  EXPECT_EQ(Find<QTabWidget>("PageControlRead")->currentIndex(), 1);
  EXPECT_EQ(Lines(),
            QStringList({QStringLiteral("Sport... Матч"), QStringLiteral("Погода... Дождь")}));
  EXPECT_EQ(window_->Status().PanelText(2), QStringLiteral("Найдено(Found) 2"));
  // The first message found is shown at once.
  EXPECT_EQ(Find<QLineEdit>("EditWBTitle")->text(), QStringLiteral("Матч"));

  ClickLine(1);
  EXPECT_EQ(Find<QPlainTextEdit>("MemoMess")->toPlainText(),
            QStringLiteral("Погода\n\nДождь\n\n<b>нефть</b> и газ\n"
                           "-----------------------------------\n"
                           " Дата (Date):  Tue, 10 Mar 2026 10:00:00 \n"
                           " Ссылка (Link):  http://a/1"));
  EXPECT_EQ(Find<QLineEdit>("EditWBTitleRSS")->text(), QStringLiteral("Погода"));
  EXPECT_EQ(Find<QLineEdit>("EditLink")->text(), QStringLiteral("http://a/1"));
  EXPECT_EQ(Find<QPlainTextEdit>("MemoAS")->toPlainText(), QStringLiteral("<b>нефть</b> и газ"));
  EXPECT_TRUE(Find<HtmlView>("WebBrowser")->toPlainText().contains(QStringLiteral("нефть и газ")));
  EXPECT_TRUE(window_->findChild<QTimer*>(QStringLiteral("TimerReadMes"))->isActive());

  auto* status = Find<QToolButton>("ToolButtonRadMes");
  EXPECT_FALSE(status->property("read").toBool());
  status->click();
  EXPECT_TRUE(status->property("read").toBool());
  EXPECT_EQ(window_->State().readIndex.Size(), 1u);
  status->click();
  EXPECT_EQ(window_->State().readIndex.Size(), 0u);

  auto* history = Find<QComboBox>("CBoxHistoryList");
  Find<QToolButton>("ToolButtonUp")->click();
  EXPECT_EQ(Find<QLineEdit>("EditWBTitle")->text(), QStringLiteral("Матч"));
  EXPECT_EQ(history->count(), 3);
  EXPECT_EQ(history->itemText(1), QStringLiteral("RSS://1;Погода... Дождь"));
  Find<QToolButton>("ToolButtonPrev")->click();
  EXPECT_EQ(Find<QLineEdit>("EditWBTitle")->text(), QStringLiteral("Дождь"));

  // This message's link is a local file: it is refused, not opened.
  ClickLine(0);
  Press(Find<QLabel>("LabelLink"), QEvent::MouseButtonDblClick);
  EXPECT_TRUE(window_->Status().PanelText(2).contains(QStringLiteral("file:///etc/passwd")));

  Find<QPushButton>("ButtonLoadAllMessToClib")->click();
  const QString copied = QApplication::clipboard()->text();
  EXPECT_TRUE(copied.contains(QStringLiteral("Матч .")));
  EXPECT_TRUE(copied.contains(QStringLiteral("нефть и газ .")));
  EXPECT_FALSE(copied.contains(QStringLiteral("<b>")));
  EXPECT_EQ(window_->Status().PanelText(1), QStringLiteral("Гуд (complete)"));

  // Loading the store again forgets every message number.
  Find<QPushButton>("ButtonLoadAllFromArx")->click();
  EXPECT_EQ(list_->model()->rowCount(), 0);
  EXPECT_EQ(history->count(), 0);
  EXPECT_TRUE(window_->State().currentReadKey.empty());
}

// One channel of `count` messages titled "t0", "t1", ...
std::string Store(int count) {
  std::string store;
  for (int i = 0; i < count; ++i) {
    WriteItemBlock(store, {"C", "t" + std::to_string(i), "l", "d", "p"}, true);
  }
  return store;
}

TEST_F(ReaderWindow, NoEventDuringAReloadOrAnExportSeesANumberOfAnotherList) {
  SetProgressRepaintInterval(0);  // every progress text processes events
  dir_.Write("s.rss", Store(150));
  Start({QStringLiteral("--store"), QString::fromStdString(dir_.Name() + "s.rss")});
  const AppState& state = window_->State();
  list_ = Find<QListView>("ListBoxTitle");
  auto* load = Find<QPushButton>("ButtonLoadAllFromArx");
  const auto fill = [&] {
    load->click();
    Find<QPushButton>("ButtonFound")->click();
    Find<QPushButton>("ButtonAssociation")->click();
  };
  fill();
  ASSERT_EQ(state.accumulator.Count(), 150u);
  // "Показать(Show)" pressed at every event of a reload that makes the list shorter.
  dir_.Write("s.rss", Store(3));
  int stale = 0;
  int shows = 0;
  QTimer probe;
  auto connection = QObject::connect(&probe, &QTimer::timeout, [&] {
    for (int n : state.accumulator.Items()) stale += n >= state.messages.Count();
    if (stale == 0) Find<QPushButton>("ButtonShowAllMess")->click();
    ++shows;
  });
  probe.start(0);
  load->click();
  probe.stop();
  EXPECT_EQ(stale, 0);
  EXPECT_GT(shows, 0);  // the load runs on a thread: how many turns the wait takes varies
  EXPECT_EQ(list_->model()->rowCount(), 0);

  // An export reads the list it started with to its end: a reload waits for it.
  fill();
  // Replaced as every writer of stores replaces one: a new file renamed over the name.
  dir_.Write("s.new", Store(1));
  std::filesystem::rename(dir_.Name() + "s.new", dir_.Name() + "s.rss");
  TFormUSelMes& options = window_->FormUSelMes();
  options.ui.EditDirOut->setText(QString::fromStdString(dir_.Name() + "out"));
  SetRadioIndex(options.ui.RGroupWUnload, 0);
  SetRadioIndex(options.ui.RadioGroupDelMes, 1);
  QObject::disconnect(connection);
  QObject::connect(&probe, &QTimer::timeout,
                   [&] { (options.isVisible() ? options.ui.ButtonOk : load)->click(); });
  probe.start(0);
  Find<QPushButton>("ButtonUnloadingSelMes")->click();
  probe.stop();
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join(QLatin1Char('\n')).toStdString();
  for (const char* name : {"out/C/t0_0.txt", "out/C/t1_0.txt", "out/C/t2_0.txt"}) {
    EXPECT_EQ(dir_.Read(name).substr(0, 7), "C\r\n\r\nt" + std::string(1, name[7])) << name;
  }
  EXPECT_EQ(state.messages.Count(), 3);
  SetProgressRepaintInterval(40);
}

TEST_F(ReaderWindow, ExtendedSearchesCombineAndChannelListsFilterMoveAndLoadGroups) {
  dir_.Write("g.myRSS", "sport\r\n");
  StartWithStore();
  Search("нефть", "ButtonFound");
  EXPECT_EQ(Lines(), QStringList({QStringLiteral("Дождь"), QStringLiteral("Матч")}));
  Find<QPushButton>("ButtonAssociation")->click();
  auto* count = Find<QLabel>("PanelAllFound");
  EXPECT_EQ(count->text(), QStringLiteral("2"));
  Search("газ", "ButtonFound");
  Find<QPushButton>("ButtonException")->click();
  EXPECT_EQ(count->text(), QStringLiteral("1"));
  Find<QPushButton>("ButtonShowAllMess")->click();
  EXPECT_EQ(Lines(), QStringList({QStringLiteral("Sport... Матч")}));
  Find<QPushButton>("ButtonClearAllFound")->click();
  EXPECT_EQ(count->text(), QStringLiteral("0"));

  Find<QCheckBox>("CBoxSetFiler")->setChecked(false);
  auto* all = Find<QListWidget>("ListBoxChannelAll");
  auto* picked = Find<QListWidget>("ListBoxChannel");
  Find<QLineEdit>("EditFilterChnnels")->setText(QStringLiteral("п?г"));
  ASSERT_EQ(all->count(), 1);
  all->setCurrentRow(0);
  emit all->itemDoubleClicked(all->item(0));
  EXPECT_EQ(picked->count(), 1);
  Press(Find<QLabel>("LabelFiltr"), QEvent::MouseButtonPress);
  EXPECT_EQ(all->count(), 2);  // the moved channel is listed again
  Find<QPushButton>("ButtonFindAndShow")->click();
  EXPECT_EQ(list_->model()->rowCount(), 1);

  Find<QLineEdit>("EditDirFavoritListChannel")->setText(QString::fromStdString(dir_.Name()));
  auto* groups = Find<QListWidget>("FBoxFavoritListChannel");
  ASSERT_EQ(groups->count(), 1);
  groups->setCurrentRow(0);
  emit groups->itemClicked(groups->item(0));
  ASSERT_EQ(picked->count(), 1);
  EXPECT_EQ(picked->item(0)->text(), QStringLiteral("sport"));
  Find<QPushButton>("ButtonFindAndShow")->click();
  EXPECT_EQ(list_->model()->rowCount(), 2);
}

}  // namespace
}  // namespace vorlin::testing
