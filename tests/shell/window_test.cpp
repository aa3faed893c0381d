// The window's own handlers: help, loading the store, the documented controls, the HTML view
// and closing on a termination signal.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <csignal>

#include "shell/html_view.h"
#include "shell/status_line.h"
#include "shell/vorlin_application.h"
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
  EXPECT_TRUE(errors_.isEmpty());
}

TEST_F(WindowTest, AnEmptyStoreGivesNoChannels) {
  dir_.Write("empty.rss", "");
  TMain& window =
      Start({QStringLiteral("--store"), QString::fromStdString(dir_.Name() + "empty.rss")});
  Find<QPushButton>("ButtonLoadAllFromArx")->click();
  EXPECT_EQ(window.Status().PanelText(2), QStringLiteral("Всего сообщений 0, каналов 0"));
  EXPECT_EQ(Find<QListWidget>("ListBoxChannelAll")->count(), 0);
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

TEST_F(WindowTest, TheLoadOptionLoadsAfterStartUp) {
  std::string store;
  WriteItemBlock(store, {"Chan", "T", "http://a", "D", "Mon, 01 Jan 2024"}, true);
  dir_.Write("s.rss", store);
  TMain& window = Start({QStringLiteral("--store"), QString::fromStdString(dir_.Name() + "s.rss"),
                         QStringLiteral("--load")});
  EXPECT_EQ(window.State().messages.Count(), 0);
  QCoreApplication::processEvents();
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
  view.LoadDocument(W("<HTML><BODY><P>Привет &amp; мир</P><P>Второй</P></BODY></HTML>\r\n"));
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
