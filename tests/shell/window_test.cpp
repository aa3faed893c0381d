// The window's own handlers: help, loading the store, the documented controls, the HTML view,
// the results of the small dialogs, the running-text strip and closing on a termination signal.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include "app/html_view.h"
#include "app/status_line.h"
#include "reader/export_options_dialog.h"
#include "reader/file_exists_prompt.h"
#include "shell/settings_keys.h"
#include "shell/vorlin_application.h"
#include "speech/running_text_window.h"
#include "store/store_format.h"
#include "window_fixture.h"

namespace vorlin::testing {
namespace {

QStringList Items(QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

TEST_F(WindowTest, HelpSwitchesToTheAboutPageAndShowsTheManualFromItsTop) {
  Start();
  auto* pages = Find<QTabWidget>("PageControl");
  auto* help = Find<HtmlView>("WBHelp");
  help->Navigate(QStringLiteral("about:blank"));
  pages->setCurrentIndex(1);

  Find<QPushButton>("ButtonHelp")->click();
  EXPECT_EQ(pages->currentIndex(), 3);
  EXPECT_EQ(help->Address(), HtmlView::HelpAddress());
  EXPECT_EQ(help->DocumentReadyState(), QStringLiteral("complete"));
  EXPECT_TRUE(help->document()->toPlainText().startsWith(QStringLiteral("Vorlin.")));
  EXPECT_EQ(help->textCursor().position(), 0);
  // Lower-case picture names of the manual find the upper-case embedded pictures.
  EXPECT_FALSE(help->document()->resource(QTextDocument::ImageResource, QUrl("vorlin12")).isNull());
}

TEST_F(WindowTest, LoadingTheStoreListsItsChannelsAFailedLoadLeavesTheListsAndACloseWaits) {
  std::string store;
  for (int i = 0; i < 250; ++i) {
    const char* channel = i % 3 == 0 ? "Beta" : (i % 3 == 1 ? "alpha" : "ALPHA");
    WriteItemBlock(store,
                   {channel, "T" + std::to_string(i), "http://x/" + std::to_string(i),
                    W("Текст ") + std::to_string(i), "Mon, 01 Jan 2024 10:00:00 GMT"},
                   true);
  }
  WriteItemBlock(store, {W("Канал"), "T", "http://y", "D", "Tue, 02 Jan 2024"}, true);
  dir_.Write("s.rss", store);
  TMain& window = Start({QStringLiteral("--store"), QString::fromStdString(dir_.Name() + "s.rss")});
  auto* picked = Find<QListWidget>("ListBoxChannel");
  auto* all = Find<QListWidget>("ListBoxChannelAll");
  picked->addItem(QStringLiteral("old pick"));
  auto* button = Find<QPushButton>("ButtonLoadAllFromArx");
  button->click();
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(window.State().messages.Count(), 251);
  EXPECT_EQ(Items(all), QStringList({QStringLiteral("alpha"), QStringLiteral("Beta"),
                                     QStringLiteral("Канал")}));
  EXPECT_EQ(picked->count(), 0);
  EXPECT_EQ(window.Status().PanelText(2),
            QStringLiteral("Всего сообщений 251, каналов 3 (Messages 251, channels 3)"));
  ASSERT_TRUE(errors_.isEmpty());

  // A broken store, then a missing one: reported, and the lists stay as they were.
  picked->addItem(QStringLiteral("alpha"));
  dir_.Write("s.rss", store + "<item><title><![CDATA[broken");
  button->click();
  EXPECT_TRUE(button->isEnabled());
  ASSERT_EQ(errors_.size(), 1);
  std::filesystem::remove(dir_.path() / "s.rss");
  button->click();
  ASSERT_EQ(errors_.size(), 2);
  EXPECT_TRUE(errors_.last().contains(QStringLiteral("s.rss")));
  EXPECT_EQ(all->count(), 3);
  EXPECT_EQ(picked->count(), 1);
  EXPECT_EQ(window.State().messages.Count(), 251);

  dir_.Write("s.rss", "");  // an empty store gives no channels
  button->click();
  EXPECT_EQ(window.Status().PanelText(2),
            QStringLiteral("Всего сообщений 0, каналов 0 (Messages 0, channels 0)"));
  EXPECT_EQ(all->count(), 0);

  // A close request that arrives while the load processes events waits for the load; then the
  // window closes by itself, running the shutdown sequence.
  dir_.Write("s.rss", store);
  QTimer::singleShot(0, &window, &TMain::close);
  button->click();
  EXPECT_EQ(window.State().messages.Count(), 251);
  EXPECT_EQ(all->count(), 3);
  const auto settings = dir_.path() / "OpsRss.txt";
  EXPECT_FALSE(std::filesystem::exists(settings));
  for (int i = 0; i < 200 && !std::filesystem::exists(settings); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(std::filesystem::exists(settings));
  EXPECT_EQ(errors_.size(), 2);
}

TEST_F(WindowTest, TerminationSignalsCloseTheWindowNormally) {
  TMain& window = Start();
  window.show();
  auto& app = static_cast<VorlinApplication&>(*QCoreApplication::instance());
  app.CloseOnTerminationSignals(&window);
  std::raise(SIGTERM);
  for (int i = 0; i < 50 && window.isVisible(); ++i) QCoreApplication::processEvents();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(SplitLines(dir_.Read("OpsRss.txt")).size(), size_t{kSettingKeyCount});
}

TEST(HtmlView, ShowsWindows1251TextWithoutPictureMarksAndServesOnlySafeLocalPictures) {
  HtmlView view;
  int begin = 0;
  int complete = 0;
  QObject::connect(&view, &HtmlView::DownloadBegin, [&] { ++begin; });
  QObject::connect(&view, &HtmlView::DownloadComplete, [&] { complete += begin; });
  view.LoadDocument(
      W("<HTML><BODY><P>Привет &amp; <IMG src=\"x.png\">мир</P><P>Второй</P></BODY></HTML>"));
  EXPECT_EQ(complete, 1);  // after the begin, once
  view.WaitUntilComplete();
  EXPECT_EQ(view.DocumentReadyState(), QStringLiteral("complete"));
  std::string text = view.PlainText();
  text.erase(text.find_last_not_of(' ') + 1);
  EXPECT_EQ(text, W("Привет & мир\r\nВторой"));

  // Pictures: only regular local files of a sane size, and nothing remote.
  TempDir dir;
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(dir.Name() + "back.png"), "PNG"));
  const QString fifo = QString::fromStdString(dir.Name() + "fifo");
  ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", dir.path() / "zero.png");
  dir.Write("huge.png", "");
  std::filesystem::resize_file(dir.path() / "huge.png", (32u << 20) + 1);  // sparse: no disk

  auto picture = [&](const QString& url) {
    return view.document()->resource(QTextDocument::ImageResource, QUrl(url));
  };
  // A picture comes as its bytes, or as a pixmap once the document has decoded it.
  const QVariant back = picture(QString::fromStdString(dir.Name() + "back.png"));
  EXPECT_EQ(back.userType() == QMetaType::QByteArray ? QImage::fromData(back.toByteArray()).size()
                                                     : back.value<QPixmap>().size(),
            QSize(4, 3));
  {
    alarm(5);  // reading a FIFO or a device would block: the alarm ends the run instead
    for (const QString& refused :
         {fifo, QUrl::fromLocalFile(fifo).toString(), QStringLiteral("file:///dev/zero"),
          QString::fromStdString(dir.Name() + "zero.png"),
          QString::fromStdString(dir.Name() + "huge.png"), QString::fromStdString(dir.Name()),
          QStringLiteral("http://127.0.0.1:9/x.png"), QStringLiteral("vorlin01")}) {
      EXPECT_TRUE(picture(refused).isNull()) << refused.toStdString();
    }
    // A background naming a FIFO still gives a page.
    view.LoadDocument("<HTML><BODY background=\"" + fifo.toStdString() + "\">x</BODY></HTML>");
    alarm(0);
  }
  EXPECT_EQ(view.DocumentReadyState(), QStringLiteral("complete"));
  view.Navigate(QStringLiteral("https://example.invalid/page"));
  EXPECT_TRUE(view.document()->toPlainText().isEmpty());
}

// Runs the dialog modally and closes it the given way; a dialog left open ends with 42, so
// that the test fails instead of waiting for a user.
int CloseWith(QDialog& dialog, const std::function<void()>& close) {
  QTimer::singleShot(0, &dialog, close);
  QTimer::singleShot(0, &dialog, [&] {
    if (dialog.isVisible()) dialog.done(42);
  });
  return dialog.exec();
}

std::function<void()> Press(QWidget* target, Qt::Key key) {
  return [=] {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
  };
}

TEST(SmallDialogs, EachWayOutGivesItsResultAndEnterNeverOpensAPicker) {
  TempDir dir;
  TFormUSelMes dialog(dir.Name());
  EXPECT_EQ(dialog.DialogResult(), 0);
  int pickerClicks = 0;
  for (QPushButton* picker : {dialog.ui.ButtonSelDirOut, dialog.ui.ButtonSelFileOut}) {
    QObject::connect(picker, &QPushButton::clicked, [&] { ++pickerClicks; });
  }
  const std::pair<std::function<void()>, int> ways[] = {
      {[&] { dialog.ui.ButtonCansel->click(); }, -1},
      {[&] { dialog.ui.ButtonOk->click(); }, 0},
      {[&] { dialog.close(); }, -1},
      {Press(dialog.ui.EditFileOut, Qt::Key_Escape), -1},
      {Press(dialog.ui.EditDirOut, Qt::Key_Return), 0},
      {Press(&dialog, Qt::Key_Return), 0}};
  for (size_t i = 0; i < std::size(ways); ++i) {
    EXPECT_EQ(CloseWith(dialog, ways[i].first), ways[i].second == 0 ? QDialog::Accepted : 0) << i;
    EXPECT_EQ(dialog.DialogResult(), ways[i].second) << i;
  }
  EXPECT_EQ(pickerClicks, 0);

  TFormAlertExFile prompt;
  EXPECT_EQ(CloseWith(prompt, [&] { prompt.ui.ButtonOverwrite->click(); }), 0);
  EXPECT_EQ(CloseWith(prompt, [&] { prompt.ui.ButtonAppend->click(); }), 1);
  EXPECT_EQ(CloseWith(prompt, [&] { prompt.ui.ButtonCancel->click(); }), 2);
  EXPECT_EQ(CloseWith(prompt, [&] { prompt.close(); }), 2);
}

TEST(RunningTextWindow, DraggingTheTextWithTheLeftButtonMovesTheStripAndKeepsTheHighlight) {
  TFormRssStr strip;
  strip.move(100, 100);
  strip.show();
  QLineEdit* text = strip.ui.EditStr;
  text->setText(QStringLiteral("Слово за словом"));
  text->setSelection(6, 3);
  auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButton button) {
    QMouseEvent event(type, text->mapFromGlobal(global), global, button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                      Qt::NoModifier);
    QApplication::sendEvent(text, &event);
  };
  const QPoint start = text->mapToGlobal(QPoint(40, 10));
  const QPoint origin = strip.pos();
  send(QEvent::MouseButtonPress, start, Qt::RightButton);
  send(QEvent::MouseMove, start + QPoint(30, 20), Qt::RightButton);
  send(QEvent::MouseButtonRelease, start + QPoint(30, 20), Qt::RightButton);
  EXPECT_EQ(strip.pos(), origin);
  send(QEvent::MouseButtonPress, start, Qt::LeftButton);
  send(QEvent::MouseMove, start + QPoint(30, 20), Qt::LeftButton);
  send(QEvent::MouseMove, start + QPoint(50, -10), Qt::LeftButton);
  send(QEvent::MouseButtonRelease, start + QPoint(50, -10), Qt::LeftButton);
  EXPECT_EQ(strip.pos(), origin + QPoint(50, -10));
  EXPECT_EQ(text->selectedText(), QStringLiteral("за "));
}

}  // namespace
}  // namespace vorlin::testing
