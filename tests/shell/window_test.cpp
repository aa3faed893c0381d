// The window's own handlers: help, loading the store, the documented controls, the HTML view,
// the results of the small dialogs, the running-text strip and closing on a termination signal.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QBuffer>
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
#include "shell/vorlin_application.h"
#include "speech/running_text_window.h"
#include "store/store_format.h"
#include "util/cp1251.h"
#include "util/file_io.h"
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
  EXPECT_TRUE(help->document()->toPlainText().isEmpty());
  pages->setCurrentIndex(1);

  Find<QPushButton>("ButtonHelp")->click();
  EXPECT_EQ(pages->currentIndex(), 3);
  EXPECT_EQ(help->Address(), HtmlView::HelpAddress());
  EXPECT_TRUE(help->Address().endsWith("/HELPMAIN"));
  EXPECT_EQ(help->DocumentReadyState(), QStringLiteral("complete"));
  const QString text = help->document()->toPlainText();
  EXPECT_TRUE(text.startsWith(QStringLiteral("Vorlin.")));
  for (const char* section : {"Введение", "Сбор новостных лент.", "Расширенный поиск.",
                              "Выгрузка сообщений из хранилища.", "Заключение.", "К началу."}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(section))) << section;
  }
  EXPECT_EQ(help->textCursor().position(), 0);
  // Lower-case picture names of the manual find the upper-case embedded pictures.
  for (const char* picture : {"vorlin01", "vorlin06", "vorlin12"}) {
    EXPECT_FALSE(help->document()
                     ->resource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(picture)))
                     .isNull())
        << picture;
  }
}

TEST_F(WindowTest, LoadingTheStoreListsItsChannelsAndReportsTheTotals) {
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
  picked->addItem(QStringLiteral("old pick"));
  auto* button = Find<QPushButton>("ButtonLoadAllFromArx");

  button->click();
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(window.State().messages.Count(), 251);
  EXPECT_EQ(
      Items(Find<QListWidget>("ListBoxChannelAll")),
      QStringList({QStringLiteral("alpha"), QStringLiteral("Beta"), QStringLiteral("Канал")}));
  EXPECT_EQ(picked->count(), 0);
  EXPECT_EQ(window.Status().PanelText(2), QStringLiteral("Всего сообщений 251, каналов 3"));

  dir_.Write("s.rss", "");  // an empty store gives no channels
  button->click();
  EXPECT_EQ(window.Status().PanelText(2), QStringLiteral("Всего сообщений 0, каналов 0"));
  EXPECT_EQ(Find<QListWidget>("ListBoxChannelAll")->count(), 0);
  EXPECT_TRUE(errors_.isEmpty());
}

TEST_F(WindowTest, ClosingDuringALoadWaitsForItToFinish) {
  std::string store;
  for (int i = 0; i < 300; ++i) {
    WriteItemBlock(store, {"Channel " + std::to_string(i), "T", "L", std::to_string(i), "D"}, true);
  }
  dir_.Write("s.rss", store);
  TMain& window = Start({QStringLiteral("--store"), QString::fromStdString(dir_.Name() + "s.rss")});
  // The close request arrives while the load processes events.
  QTimer::singleShot(0, &window, &TMain::close);
  Find<QPushButton>("ButtonLoadAllFromArx")->click();
  EXPECT_EQ(window.State().messages.Count(), 300);
  EXPECT_EQ(window.State().channels.size(), 300u);
  EXPECT_EQ(window.Status().PanelText(2), QStringLiteral("Всего сообщений 300, каналов 300"));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "OpsRss.txt"));
  // Once the load is over the window closes by itself, running the shutdown sequence.
  const auto settings = dir_.path() / "OpsRss.txt";
  for (int i = 0; i < 200 && !std::filesystem::exists(settings); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(std::filesystem::exists(settings));
  EXPECT_TRUE(errors_.isEmpty());
}

TEST_F(WindowTest, AFailedLoadLeavesTheListsAndEnablesTheButtonAgain) {
  std::string store;
  WriteItemBlock(store, {"Chan", "T", "http://a", "D", "Mon, 01 Jan 2024"}, true);
  dir_.Write("s.rss", store);
  TMain& window = Start({QStringLiteral("--store"), QString::fromStdString(dir_.Name() + "s.rss")});
  auto* button = Find<QPushButton>("ButtonLoadAllFromArx");
  button->click();
  ASSERT_EQ(Find<QListWidget>("ListBoxChannelAll")->count(), 1);
  Find<QListWidget>("ListBoxChannel")->addItem(QStringLiteral("Chan"));

  dir_.Write("s.rss", store + "<item><title><![CDATA[broken");
  button->click();
  EXPECT_TRUE(button->isEnabled());
  ASSERT_EQ(errors_.size(), 1);
  EXPECT_EQ(Find<QListWidget>("ListBoxChannelAll")->count(), 1);
  EXPECT_EQ(Find<QListWidget>("ListBoxChannel")->count(), 1);

  std::filesystem::remove(dir_.path() / "s.rss");
  button->click();
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(errors_.size(), 2);
  EXPECT_TRUE(errors_.last().contains(QStringLiteral("s.rss")));
  EXPECT_EQ(window.State().messages.Count(), 1);
}

TEST_F(WindowTest, TerminationSignalsCloseTheWindowNormally) {
  TMain& window = Start();
  window.show();
  auto& app = static_cast<VorlinApplication&>(*QCoreApplication::instance());
  app.CloseOnTerminationSignals(&window);
  std::raise(SIGTERM);
  for (int i = 0; i < 50 && window.isVisible(); ++i) QCoreApplication::processEvents();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(SplitLines(dir_.Read("OpsRss.txt")).size(), 52u);
}

TEST(HtmlView, LoadsWindows1251TextAndGivesItsRenderedText) {
  HtmlView view;
  int begin = 0;
  int complete = 0;
  QObject::connect(&view, &HtmlView::DownloadBegin, [&] { ++begin; });
  QObject::connect(&view, &HtmlView::DownloadComplete, [&] {
    EXPECT_EQ(begin, complete + 1);
    ++complete;
  });
  view.LoadDocument(
      W("<HTML><BODY><P>Привет &amp; <IMG src=\"x.png\">мир</P><P>Второй</P>"
        "</BODY></HTML>\r\n"));
  EXPECT_EQ(begin, 1);
  EXPECT_EQ(complete, 1);
  view.WaitUntilComplete();
  EXPECT_EQ(view.DocumentReadyState(), QStringLiteral("complete"));
  std::string text = view.PlainText();
  text.erase(text.find_last_not_of(' ') + 1);
  EXPECT_EQ(text, W("Привет & мир\r\nВторой"));
}

TEST(HtmlView, NeverFetchesRemoteContent) {
  HtmlView view;
  view.LoadDocument(
      "<HTML><BODY><IMG src=\"http://127.0.0.1:9/x.png\">"
      "<IMG src=\"vorlin01\"></BODY></HTML>");
  EXPECT_TRUE(view.document()
                  ->resource(QTextDocument::ImageResource, QUrl("http://127.0.0.1:9/x.png"))
                  .isNull());
  // Embedded pictures belong to the manual only.
  EXPECT_TRUE(view.document()->resource(QTextDocument::ImageResource, QUrl("vorlin01")).isNull());
  view.Navigate(QStringLiteral("https://example.invalid/page"));
  EXPECT_TRUE(view.document()->toPlainText().isEmpty());
  EXPECT_EQ(view.Address(), QStringLiteral("https://example.invalid/page"));
}

TEST(HtmlView, ServesOnlyRegularLocalFilesOfASaneSizeAsPictures) {
  TempDir dir;
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray png;
  QBuffer buffer(&png);
  ASSERT_TRUE(image.save(&buffer, "PNG"));
  dir.Write("back.png", png.toStdString());
  const QString fifo = QString::fromStdString(dir.Name() + "fifo");
  ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", dir.path() / "zero.png");
  dir.Write("huge.png", "");
  std::filesystem::resize_file(dir.path() / "huge.png", 64u << 20);  // sparse, costs no disk

  HtmlView view;
  QTextDocument* document = view.document();
  auto picture = [&](const QUrl& url) {
    return document->resource(QTextDocument::ImageResource, url);
  };
  // A picture comes as its bytes, or as a pixmap once the document has decoded it.
  auto size = [&](const QUrl& url) {
    QVariant data = picture(url);
    if (data.userType() == QMetaType::QByteArray)
      return QImage::fromData(data.toByteArray()).size();
    return data.value<QPixmap>().size();
  };
  const QString back = QString::fromStdString(dir.Name() + "back.png");
  EXPECT_EQ(size(QUrl::fromLocalFile(back)), QSize(4, 3));
  EXPECT_EQ(size(QUrl(back)), QSize(4, 3));
  {
    alarm(5);  // reading a FIFO or a device would block: the alarm ends the run instead
    EXPECT_TRUE(picture(QUrl::fromLocalFile(fifo)).isNull());
    EXPECT_TRUE(picture(QUrl(fifo)).isNull());
    EXPECT_TRUE(picture(QUrl(QStringLiteral("/dev/zero"))).isNull());
    EXPECT_TRUE(picture(QUrl(QStringLiteral("file:///dev/zero"))).isNull());
    EXPECT_TRUE(
        picture(QUrl::fromLocalFile(QString::fromStdString(dir.Name() + "zero.png"))).isNull());
    EXPECT_TRUE(
        picture(QUrl::fromLocalFile(QString::fromStdString(dir.Name() + "huge.png"))).isNull());
    EXPECT_TRUE(picture(QUrl::fromLocalFile(QString::fromStdString(dir.Name()))).isNull());
    // A background naming a FIFO still gives a page.
    view.LoadDocument("<HTML><BODY background=\"" + fifo.toStdString() + "\">x</BODY></HTML>");
    alarm(0);
  }
  EXPECT_EQ(view.DocumentReadyState(), QStringLiteral("complete"));
}

TEST(ExportOptionsDialog, OnlyTheOkButtonGivesZeroAndEnterPressesIt) {
  TempDir dir;
  TFormUSelMes dialog(dir.Name());
  EXPECT_EQ(dialog.DialogResult(), 0);
  int pickerClicks = 0;
  for (QPushButton* picker : {dialog.ui.ButtonSelDirOut, dialog.ui.ButtonSelFileOut}) {
    QObject::connect(picker, &QPushButton::clicked, [&] { ++pickerClicks; });
  }
  // Each way of closing, run while the dialog is modal. A dialog left open afterwards ends
  // with 42, so that the test fails instead of waiting for a user.
  auto run = [&](const std::function<void()>& close) {
    QTimer::singleShot(0, &dialog, close);
    QTimer::singleShot(0, &dialog, [&] {
      if (dialog.isVisible()) dialog.done(42);
    });
    return dialog.exec();
  };

  auto press = [](QWidget* target, Qt::Key key) {
    return [=] {
      QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
      QApplication::sendEvent(target, &event);
    };
  };
  // Each way out, with the result it gives; Enter runs the export and never opens a picker.
  const std::pair<std::function<void()>, int> ways[] = {
      {[&] { dialog.ui.ButtonCansel->click(); }, QDialog::Rejected},
      {[&] { dialog.ui.ButtonOk->click(); }, QDialog::Accepted},
      {[&] { dialog.close(); }, QDialog::Rejected},
      {[&] { dialog.ui.ButtonOk->click(); }, QDialog::Accepted},
      {press(dialog.ui.EditFileOut, Qt::Key_Escape), QDialog::Rejected},
      {press(dialog.ui.EditDirOut, Qt::Key_Return), QDialog::Accepted},
      {press(&dialog, Qt::Key_Return), QDialog::Accepted}};
  for (size_t i = 0; i < std::size(ways); ++i) {
    EXPECT_EQ(run(ways[i].first), ways[i].second) << i;
    EXPECT_EQ(dialog.DialogResult(), ways[i].second == QDialog::Accepted ? 0 : -1) << i;
  }
  EXPECT_EQ(pickerClicks, 0);
}

TEST(FileExistsPrompt, GivesZeroToOverwriteOneToAppendAndTwoToCancelOrClose) {
  TFormAlertExFile prompt;
  auto run = [&](const std::function<void()>& answer) {
    QTimer::singleShot(0, &prompt, answer);
    QTimer::singleShot(0, &prompt, [&] {
      if (prompt.isVisible()) prompt.done(42);
    });
    return prompt.exec();
  };
  EXPECT_EQ(run([&] { prompt.ui.ButtonOverwrite->click(); }), TFormAlertExFile::kOverwrite);
  EXPECT_EQ(run([&] { prompt.ui.ButtonAppend->click(); }), TFormAlertExFile::kAppend);
  EXPECT_EQ(run([&] { prompt.ui.ButtonCancel->click(); }), TFormAlertExFile::kCancel);
  EXPECT_EQ(run([&] { prompt.close(); }), TFormAlertExFile::kCancel);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  EXPECT_EQ(run([&] { QApplication::sendEvent(&prompt, &escape); }), TFormAlertExFile::kCancel);
}

TEST(RunningTextWindow, DraggingTheTextWithTheLeftButtonMovesTheStrip) {
  TFormRssStr strip;
  strip.move(100, 100);
  strip.show();
  QLineEdit* text = strip.ui.EditStr;
  text->setText(QStringLiteral("Слово за словом"));
  text->setSelection(6, 3);
  auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButton button) {
    const QPoint local = text->mapFromGlobal(global);
    QMouseEvent event(type, local, global, button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                      Qt::NoModifier);
    QApplication::sendEvent(text, &event);
  };
  const QPoint start = text->mapToGlobal(QPoint(40, 10));
  const QPoint origin = strip.pos();

  send(QEvent::MouseButtonPress, start, Qt::LeftButton);
  send(QEvent::MouseMove, start + QPoint(30, 20), Qt::LeftButton);
  send(QEvent::MouseMove, start + QPoint(50, -10), Qt::LeftButton);
  send(QEvent::MouseButtonRelease, start + QPoint(50, -10), Qt::LeftButton);
  EXPECT_EQ(strip.pos(), origin + QPoint(50, -10));
  // The highlight of the spoken word stays as it was.
  EXPECT_EQ(text->selectionStart(), 6);
  EXPECT_EQ(text->selectedText(), QStringLiteral("за "));

  const QPoint moved = strip.pos();
  const QPoint again = text->mapToGlobal(QPoint(40, 10));
  send(QEvent::MouseButtonPress, again, Qt::RightButton);
  send(QEvent::MouseMove, again + QPoint(30, 20), Qt::RightButton);
  EXPECT_EQ(strip.pos(), moved);
}

TEST(HtmlView, ZoomStaysWithinItsFiveLevels) {
  HtmlView view;
  const qreal normal = view.font().pointSizeF();
  view.SetZoom(4);
  EXPECT_EQ(view.Zoom(), 4);
  EXPECT_GT(view.font().pointSizeF(), normal);
  view.SetZoom(-3);
  EXPECT_EQ(view.Zoom(), 0);
  EXPECT_LT(view.font().pointSizeF(), normal);
  view.SetZoom(2);
  EXPECT_EQ(view.font().pointSizeF(), normal);
}

}  // namespace
}  // namespace vorlin::testing
