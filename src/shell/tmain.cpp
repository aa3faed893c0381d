#include "shell/tmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/control_state.h"
#include "app/font_value.h"
#include "app/status_line.h"
#include "download/downloads_page.h"
#include "download/float_window.h"
#include "ingest/scan_page.h"
#include "reader/export_options_dialog.h"
#include "reader/file_exists_prompt.h"
#include "reader/reading_page.h"
#include "reader/search_page.h"
#include "shell/about_page.h"
#include "shell/vorlin_application.h"
#include "speech/running_text_window.h"
#include "speech/speech_controller.h"
#include "speech/speech_page.h"

namespace vorlin {

namespace {

// The designed client area at 96 dots per inch.
constexpr int kClientWidth = 684;
constexpr int kClientHeight = 598;

// A filter written as "description|patterns|description|patterns" in Qt's form.
QStringList NameFilters(const QString& pairs) {
  QStringList parts = pairs.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    filters << parts[i].trimmed() + QStringLiteral(" (") +
                   parts[i + 1].trimmed().replace(QLatin1Char(';'), QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  return filters;
}

QFileDialog* MakeFileDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode,
                            const QString& filter, const QString& suffix,
                            const QString& title = QString()) {
  auto* dialog = new QFileDialog(parent, title);
  dialog->setObjectName(QString::fromLatin1(name));
  dialog->setAcceptMode(mode);
  dialog->setNameFilters(NameFilters(filter));
  dialog->setDefaultSuffix(suffix);
  return dialog;
}

QTimer* MakeTimer(QObject* parent, const char* name, int intervalMs) {
  auto* timer = new QTimer(parent);
  timer->setObjectName(QString::fromLatin1(name));
  timer->setInterval(intervalMs);
  return timer;
}

}  // namespace

TMain::TMain(AppOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
  InitVorlinResources();
  setObjectName(QStringLiteral("Main"));
  setWindowTitle(QStringLiteral("Vorlin"));
  // The window is designed for Tahoma; where it is not installed the nearest narrow face
  // keeps the captions inside the designed size.
  QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                             {QStringLiteral("DejaVu Sans Condensed"),
                              QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  BuildWindow();
  BuildNonVisualMembers();
  FormCreate();
  formPopUp_ = std::make_unique<TFormPopUp>();
  formRssStr_ = std::make_unique<TFormRssStr>();
  formUSelMes_ = std::make_unique<TFormUSelMes>(state_.settingsFolder);
  formAlertExFile_ = std::make_unique<TFormAlertExFile>();
  search_->AttachExport(*formUSelMes_, *formAlertExFile_,
                        [this] { return reading_->NameLength(); });
  downloads_->Attach(*status_, *timerDownloadAll_, *openTextFileDialogListURL_,
                     *saveTextFileDialogListURL_, *formPopUp_);
  connect(downloads_, &DownloadsPage::LogLine, scan_, &ScanPage::AppendLog);
  // Downloads go to the store by themselves unless the user turned that off.
  scan_->SetDownloadFolder([this] { return downloads_->FolderForStore(); });
  connect(downloads_, &DownloadsPage::DownloadFinished, scan_, [this] {
    if (!downloads_->FolderForStore().empty()) {
      QTimer::singleShot(0, scan_, &ScanPage::RunAfterDownload);
    }
  });
  connect(scan_, &ScanPage::MessagesStored, search_, &SearchPage::RefreshAfterRun);
  for (QWidget* form : std::initializer_list<QWidget*>{
           formPopUp_.get(), formRssStr_.get(), formUSelMes_.get(), formAlertExFile_.get()}) {
    form->setFont(font());
  }
  StartSpeech();
  qApp->installEventFilter(this);
  if (options_.load || options_.find || options_.read) {
    // One after the other: the load processes events, so a search queued beside it could run
    // in its middle.
    QTimer::singleShot(0, this, [this] {
      if (options_.load) search_->ButtonLoadAllFromArxClick();
      if (options_.find) search_->ButtonFindAndShowClick();  // shows the first message
      if (options_.read && speechController_ != nullptr) speechController_->ButtonSpeechClick();
    });
  }
}

TMain::~TMain() { FormDestroy(); }

void TMain::BuildWindow() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* panelAll = new QWidget(central);
  panelAll->setObjectName(QStringLiteral("PanelAll"));
  auto* allLayout = new QVBoxLayout(panelAll);
  allLayout->setContentsMargins(2, 2, 2, 0);
  pageControl_ = new QTabWidget(panelAll);
  pageControl_->setObjectName(QStringLiteral("PageControl"));
  allLayout->addWidget(pageControl_);
  layout->addWidget(panelAll, 1);

  scan_ = new ScanPage(state_, pageControl_);
  pageControl_->addTab(scan_, QStringLiteral("Сканирование  RSS. (Scan  RSS)"));

  auto* tabSheetRead = new QWidget(pageControl_);
  tabSheetRead->setObjectName(QStringLiteral("TabSheetRead"));
  auto* readLayout = new QVBoxLayout(tabSheetRead);
  readLayout->setContentsMargins(2, 2, 2, 2);
  pageControlRead_ = new QTabWidget(tabSheetRead);
  pageControlRead_->setObjectName(QStringLiteral("PageControlRead"));
  readLayout->addWidget(pageControlRead_);
  search_ = new SearchPage(state_, pageControlRead_);
  reading_ = new ReadingPage(state_, pageControlRead_);
  speech_ = new SpeechPage(state_, pageControlRead_);
  pageControlRead_->addTab(
      search_, QStringLiteral("Поиск каналов и сообщений. (Search channels and messages)"));
  pageControlRead_->addTab(reading_, QStringLiteral("Чтение найденного.(Reading found.)"));
  pageControlRead_->addTab(speech_, QStringLiteral("Речь (Speech)"));
  pageControlRead_->setCurrentIndex(2);
  pageControl_->addTab(tabSheetRead, QStringLiteral("Чтение RSS. (Read RSS)"));

  downloads_ = new DownloadsPage(state_, pageControl_);
  pageControl_->addTab(downloads_, QStringLiteral("Загрузка RSS (Downloads RSS)"));
  about_ = new AboutPage(state_, pageControl_);
  pageControl_->addTab(about_, QStringLiteral("О Vorlin (About+Help)"));
  pageControl_->setCurrentIndex(0);

  auto* panelUpr = new QWidget(central);
  panelUpr->setObjectName(QStringLiteral("PanelUpr"));
  auto* uprLayout = new QHBoxLayout(panelUpr);
  uprLayout->setContentsMargins(2, 2, 2, 2);
  buttonExit_ = new QPushButton(QStringLiteral("Выход (Exit)"), panelUpr);
  buttonExit_->setObjectName(QStringLiteral("ButtonExit"));
  editAnStr_ = new QLineEdit(panelUpr);
  editAnStr_->setObjectName(QStringLiteral("EditAnStr"));
  editAnStr_->setMaximumWidth(500);
  // The running line shows only while a message is read aloud.
  QSizePolicy keepSpace = editAnStr_->sizePolicy();
  keepSpace.setRetainSizeWhenHidden(true);
  editAnStr_->setSizePolicy(keepSpace);
  editAnStr_->hide();
  buttonHelp_ = new QPushButton(QStringLiteral("Помощь (Help)"), panelUpr);
  buttonHelp_->setObjectName(QStringLiteral("ButtonHelp"));
  uprLayout->addWidget(buttonExit_);
  uprLayout->addWidget(editAnStr_, 1);
  uprLayout->addStretch();
  uprLayout->addWidget(buttonHelp_);
  layout->addWidget(panelUpr);

  setCentralWidget(central);
  status_ = new StatusLine(this);
  setStatusBar(status_);
  // Polish every control first, so that the designed size is applied to final metrics.
  ensurePolished();
  for (QWidget* child : findChildren<QWidget*>()) child->ensurePolished();
  QMainWindow::layout()->activate();
  resize(kClientWidth, kClientHeight);

  // The font that the settings file keeps, at its designed default.
  SetControlFont(editAnStr_, MakeFontValue("Tahoma", 10));

  connect(buttonExit_, &QPushButton::clicked, this, &TMain::ButtonExitClick);
  connect(buttonHelp_, &QPushButton::clicked, this, &TMain::ButtonHelpClick);
}

void TMain::BuildNonVisualMembers() {
  timerScan_ = MakeTimer(this, "TimerScan", 1000);
  timerDownloadAll_ = MakeTimer(this, "TimerDownloadAll", 1000);
  timerReadMes_ = MakeTimer(this, "TimerReadMes", 5000);

  saveTextFileDialog_ = MakeFileDialog(
      this, "SaveTextFileDialog", QFileDialog::AcceptSave,
      QStringLiteral("База RSS, Data base rss|*.rss|Все файлы, All |*.*"), QStringLiteral("rss"),
      QStringLiteral("Открыть или Сохранить Базу RSS (Open or save the RSS store)"));
  saveTextFileDialogLBCh_ =
      MakeFileDialog(this, "SaveTextFileDialogLBCh", QFileDialog::AcceptSave,
                     QStringLiteral("Любимые каналы (my RSS)|*.myRSS"), QStringLiteral("myRSS"));
  const QString urlFilter = QStringLiteral("List Url (список Url на файлы Rss)|*.RssUrl");
  openTextFileDialogListURL_ =
      MakeFileDialog(this, "OpenTextFileDialogListURL", QFileDialog::AcceptOpen, urlFilter,
                     QStringLiteral("RssUrl"));
  saveTextFileDialogListURL_ =
      MakeFileDialog(this, "SaveTextFileDialogListURL", QFileDialog::AcceptSave, urlFilter,
                     QStringLiteral("RssUrl"));
  openPictureDialogPWB_ = MakeFileDialog(
      this, "OpenPictureDialogPWB", QFileDialog::AcceptOpen,
      QStringLiteral("All *.jpg;*.jpeg;*.bmp;*.gif;*png| *.jpg;*.jpeg;*.bmp;*.gif;*png"),
      QString());
  fontDialog_ = new QFontDialog(this);
  fontDialog_->setObjectName(QStringLiteral("FontDialog"));
  colorDialog_ = new QColorDialog(this);
  colorDialog_->setObjectName(QStringLiteral("ColorDialog"));

  scan_->Attach(*status_, *timerScan_, *saveTextFileDialog_);
  search_->Attach(
      *status_, [this] { return scan_->CommitStoreName(); }, *saveTextFileDialogLBCh_);
  reading_->Attach(*status_, *timerReadMes_, *openPictureDialogPWB_, *fontDialog_, *colorDialog_);
  connect(search_, &SearchPage::StoreLoaded, reading_, &ReadingPage::ResetAfterLoad);
  connect(search_, &SearchPage::ListMessages, reading_,
          [this](const std::vector<int>& numbers, bool channelPrefixed) {
            if (channelPrefixed) {
              reading_->FillMessageList(numbers);
            } else {
              reading_->ShowBareTitles(numbers);
            }
          });
  connect(search_, &SearchPage::ClearMessageView, reading_, &ReadingPage::ShowEmptyPage);
  connect(search_, &SearchPage::ShowFirstMessage, reading_, &ReadingPage::ShowFirstMessage);
  connect(search_, &SearchPage::ShowReadingPage, this,
          [this] { pageControlRead_->setCurrentWidget(reading_); });
  connect(search_, &SearchPage::CopyToClipboardRequested, reading_,
          &ReadingPage::CopyListToClipboard);
}

QWidget* TMain::SecondaryWindow(const QString& name) {
  for (QWidget* form : std::initializer_list<QWidget*>{
           formPopUp_.get(), formRssStr_.get(), formUSelMes_.get(), formAlertExFile_.get()}) {
    if (form->objectName() == name) return form;
  }
  return nullptr;
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::MouseButtonPress || type == QEvent::KeyPress) && state_.busy == 0 &&
      watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this &&
      !status_->isAncestorOf(static_cast<QWidget*>(watched))) {
    status_->ClearResults();
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  // The store loads once the window is on the screen, so that it is usable at once; --load
  // loads it in the foreground instead.
  if (!options_.load) QTimer::singleShot(0, search_, &SearchPage::LoadAtStartUp);
}

void TMain::closeEvent(QCloseEvent* event) {
  // A load or an ingestion run below us is processing events; shutting down now would save
  // and release the lists it is still working on. Close as soon as it has finished.
  if (state_.busy > 0) {
    if (speechController_ != nullptr && state_.speaking) speechController_->Loop().Stop();
    event->ignore();
    QTimer::singleShot(100, this, &TMain::close);
    return;
  }
  FormDestroy();
  event->accept();
}

}  // namespace vorlin
