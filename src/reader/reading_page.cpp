#include "reader/reading_page.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMouseEvent>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "app/control_state.h"
#include "app/font_value.h"
#include "app/status_line.h"
#include "reader/html_sanitizer.h"
#include "reader/message_list_model.h"
#include "reader/message_view.h"
#include "reader/query.h"
#include "store/crc32.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

ReadingPage::ReadingPage(AppState& state, QWidget* parent)
    : QWidget(parent), state_(state), readMarks_(state.readIndex, state.currentReadKey) {
  ui.setupUi(this);
  // No size chosen yet: the drop-down shows the normal size as its placeholder.
  ui.ComboBoxWBFont->setPlaceholderText(QStringLiteral("+0 Средний (normal)"));
  ui.ComboBoxWBFont->setCurrentIndex(-1);

  const struct {
    QToolButton* button;
    QStyle::StandardPixmap icon;
  } icons[] = {
      {ui.ToolButtonStop, QStyle::SP_BrowserStop},
      {ui.ToolButtonRefresh, QStyle::SP_BrowserReload},
      {ui.ToolButtonPrev, QStyle::SP_ArrowBack},
      {ui.ToolButtonNext, QStyle::SP_ArrowForward},
      {ui.ToolButtonUp, QStyle::SP_ArrowUp},
      {ui.ToolButtonDown, QStyle::SP_ArrowDown},
      {ui.ToolButtonSpeech, QStyle::SP_MediaPlay},
      {ui.ToolButtonPause, QStyle::SP_MediaPause},
      {ui.ToolButtonSpeechStop, QStyle::SP_MediaStop},
      {ui.ToolButtonClearHist, QStyle::SP_DialogResetButton},
      {ui.ToolButtonASPlay, QStyle::SP_MediaPlay},
      {ui.ToolButtonASPause, QStyle::SP_MediaPause},
      {ui.ToolButtonASStop, QStyle::SP_MediaStop},
  };
  for (const auto& entry : icons) entry.button->setIcon(style()->standardIcon(entry.icon));
  ShowReadStatus();

  ShowOptionPagesInList();

  // The fonts that the settings file keeps, at their designed defaults.
  SetControlFont(ui.ListBoxTitle, MakeFontValue("Tahoma", 10));
  SetControlFont(ui.MemoMess, MakeFontValue("Tahoma", 12));
  SetControlFont(ui.MemoASHeadline, MakeFontValue("Tahoma", 8));
  SetControlFont(ui.MemoAS, MakeFontValue("Tahoma", 8));

  model_ = new MessageListModel(state_.messages, this);
  ui.ListBoxTitle->setModel(model_);
  connect(ui.ListBoxTitle, &QListView::clicked, this, &ReadingPage::ListBoxTitleClick);
  connect(ui.ListBoxTitle->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &ReadingPage::CurrentLineChanged);
  connect(ui.ComboBoxWBFont, &QComboBox::currentIndexChanged, this,
          &ReadingPage::ApplyHtmlTextSize);
  connect(ui.CheckBoxWBB, &QCheckBox::clicked, this, &ReadingPage::CheckBoxWBBClick);
  connect(ui.ButtonGetWBBackground, &QPushButton::clicked, this,
          &ReadingPage::ButtonGetWBBackgroundClick);
  const struct {
    QToolButton* button;
    void (ReadingPage::*slot)();
  } tools[] = {
      {ui.ToolButtonStop, &ReadingPage::ToolButtonStopClick},
      {ui.ToolButtonRefresh, &ReadingPage::ToolButtonRefreshClick},
      {ui.ToolButtonPrev, &ReadingPage::ToolButtonPrevClick},
      {ui.ToolButtonNext, &ReadingPage::ToolButtonNextClick},
      {ui.ToolButtonUp, &ReadingPage::ToolButtonUpClick},
      {ui.ToolButtonDown, &ReadingPage::ToolButtonDownClick},
      {ui.ToolButtonRadMes, &ReadingPage::ToolButtonRadMesClick},
      {ui.ToolButtonClearHist, &ReadingPage::ToolButtonClearHistClick},
  };
  for (const auto& t : tools) connect(t.button, &QToolButton::clicked, this, t.slot);
  connect(ui.CBoxHistoryList, &QComboBox::activated, this, &ReadingPage::CBoxHistoryListChange);
  connect(ui.WebBrowser, &HtmlView::DownloadBegin, this, [this] {
    if (status_ != nullptr) status_->SetPanelText(1, QStringLiteral("Загрузка...(Loading)"));
  });
  connect(ui.WebBrowser, &HtmlView::DownloadComplete, this, [this] {
    if (status_ != nullptr) status_->SetPanelText(1, QStringLiteral("Ok.(Complete)"));
  });
  ui.LabelLink->installEventFilter(this);
}

void ReadingPage::Attach(StatusLine& status, QTimer& timerReadMes, QFileDialog& pictureDialog,
                         QFontDialog& fontDialog, QColorDialog& colorDialog) {
  status_ = &status;
  timerReadMes_ = &timerReadMes;
  timerReadMes_->setTimerType(Qt::PreciseTimer);
  connect(timerReadMes_, &QTimer::timeout, this, &ReadingPage::TimerReadMesTimer);
  pictureDialog_ = &pictureDialog;
  fontDialog_ = &fontDialog;
  colorDialog_ = &colorDialog;
  ConnectFontAndColourButtons();
}

void ReadingPage::ShowOptionPagesInList() {
  // Six bilingual captions do not fit one tab row of the narrow options group: the tab bar
  // would scroll and clip them. A drop-down list of the pages stands in for it; the page
  // control stays the one that the settings and the other code know.
  QTabWidget* pages = ui.PageControlOp;
  auto* choice = new QComboBox(ui.GroupBoxOptions);
  choice->setObjectName(QStringLiteral("PageControlOpChoice"));
  for (int i = 0; i < pages->count(); ++i) choice->addItem(pages->tabText(i));
  pages->tabBar()->hide();
  static_cast<QBoxLayout*>(ui.GroupBoxOptions->layout())->insertWidget(0, choice);
  connect(choice, &QComboBox::activated, pages, &QTabWidget::setCurrentIndex);
  connect(pages, &QTabWidget::currentChanged, choice, &QComboBox::setCurrentIndex);
  choice->setCurrentIndex(pages->currentIndex());
}

int ReadingPage::NameLength() const { return ui.SpinEditSimInNameCh->value(); }

void ReadingPage::ClearHeaderFields() {
  for (QLineEdit* field : {ui.EditWBTitleRSS, ui.EditWBTitle, ui.EditLink, ui.EditDatePub}) {
    field->clear();
  }
}

QColor ReadingPage::TextBackground() const { return ui.MemoMess->palette().color(QPalette::Base); }

void ReadingPage::FillMessageList(std::vector<int> numbers) {
  model_->Fill(std::move(numbers), ui.SpinEditSimInNameCh->value());
  history_.Clear();
  ShowHistory();
  FollowList();
}

void ReadingPage::ShowBareTitles(std::vector<int> numbers) {
  model_->Fill(std::move(numbers), 0);
  FollowList();
}

void ReadingPage::FollowList() {
  if (shown_ < 0) return;
  const std::vector<int>& numbers = model_->Numbers();
  auto line = std::find(numbers.begin(), numbers.end(), shown_);
  if (line == numbers.end()) {
    ClearViews();
    return;
  }
  SelectLine(static_cast<int>(line - numbers.begin()));
}

void ReadingPage::ShowFirstMessage() {
  if (model_->rowCount() == 0) return;
  SelectAndShow(0);
}

void ReadingPage::ClearViews() {
  shown_ = -1;
  if (timerReadMes_ != nullptr) timerReadMes_->stop();
  readMarks_.Reset();
  ShowReadStatus();
  for (QPlainTextEdit* view : {ui.MemoMess, ui.MemoAS, ui.MemoASHeadline}) view->clear();
  ClearHeaderFields();
  ui.EditLink->setToolTip(QString());
  LoadHtmlText(kEmptyPage);
}

void ReadingPage::CurrentLineChanged(const QModelIndex& current) {
  // A click shows its message on release (ListBoxTitleClick); the code's own moves show
  // what they mean to show.
  if (selecting_ || !current.isValid() || QApplication::mouseButtons() != Qt::NoButton) return;
  ListBoxTitleClick();
}

int ReadingPage::ListedCount() const { return model_->rowCount(); }

void ReadingPage::ShowEmptyPage() {
  LoadHtmlText(kEmptyPage);
  ApplyHtmlTextSize();
}

void ReadingPage::ResetAfterLoad() {
  model_->Clear();
  history_.Clear();
  ShowHistory();
  ClearViews();
}

int ReadingPage::SelectedLine() const {
  QModelIndex current = ui.ListBoxTitle->currentIndex();
  return current.isValid() && ui.ListBoxTitle->selectionModel()->isSelected(current) ? current.row()
                                                                                     : -1;
}

int ReadingPage::SelectedMessage() const {
  const int n = model_->NumberAt(SelectedLine());
  return IsLoaded(state_.messages, n) ? n : -1;
}

void ReadingPage::SelectAndShow(int row) {
  SelectLine(row);
  ListBoxTitleClick();
}

void ReadingPage::MarkShownRead() {
  readMarks_.MarkCurrentRead();
  ShowReadStatus();
}

std::string ReadingPage::RenderedText(const std::string& html) {
  LoadHtmlText(html);
  return ui.WebBrowser->PlainText();
}

void ReadingPage::SelectLine(int row) {
  selecting_ = true;
  ui.ListBoxTitle->setCurrentIndex(model_->index(row));
  selecting_ = false;
}

void ReadingPage::ListBoxTitleClick() {
  ShowCurrentMessage();
  RecordHistory();
}

void ReadingPage::ShowCurrentMessage() {
  const int n = model_->NumberAt(SelectedLine());
  // A number from before the store was loaded again never reads past the messages.
  if (!IsLoaded(state_.messages, n)) return;
  timerReadMes_->stop();
  readMarks_.BeginShow();
  shown_ = n;
  const auto i = static_cast<size_t>(n);
  const MessageList& m = state_.messages;

  QStringList lines;
  for (const std::string& line : TxtViewLines(m, n)) lines << ToQ(line);
  ui.MemoMess->setPlainText(lines.join(QLatin1Char('\n')));
  ui.MemoMess->moveCursor(QTextCursor::Start);

  if (ui.CBoxTransfHtmlToTxt->isChecked()) {
    // The rendered text of the message; step 7 replaces the document again.
    LoadHtmlText(MessageHtml(m.title[i], m.description[i], ui.CkBoxAddHeadline->isChecked(),
                             ControlText(ui.EditWBBackground)));
    ui.MemoAS->setPlainText(ToQ(ui.WebBrowser->PlainText()));
  } else {
    ui.MemoAS->setPlainText(ToQ(m.description[i]));
  }
  ui.MemoAS->moveCursor(QTextCursor::Start);
  HeadlineParts parts{ui.CkBoxASTitleRSS->isChecked(), ui.CkBoxASTitle->isChecked(),
                      ui.CkBoxASPubDate->isChecked(), ui.CkBoxASLink->isChecked()};
  lines.clear();
  for (const std::string& line : HeadlineLines(m, n, parts)) lines << ToQ(line);
  ui.MemoASHeadline->setPlainText(lines.join(QLatin1Char('\n')));
  ui.MemoASHeadline->moveCursor(QTextCursor::Start);

  SetControlText(ui.EditWBTitleRSS, m.titleRss[i]);
  SetControlText(ui.EditWBTitle, m.title[i]);
  SetControlText(ui.EditLink, m.link[i]);
  ui.EditLink->setToolTip(ToQ(m.link[i]));
  SetControlText(ui.EditDatePub, m.pubDate[i]);
  ui.EditWBTitleRSS->setCursorPosition(0);
  ui.EditWBTitle->setCursorPosition(0);
  ui.EditLink->setCursorPosition(0);

  LoadHtmlText(MessageHtml(m.title[i], m.description[i], ui.CkBoxAddHeadline->isChecked(),
                           ControlText(ui.EditWBBackground)));

  // Reading the document may have processed events that showed another message.
  if (model_->NumberAt(SelectedLine()) != n) return;
  const bool marking = ui.CkBoxMarkReadMes->isChecked();
  readMarks_.EndShow(ReadKey(m.title[i], m.description[i]), marking,
                     ui.SpinEditIntervalInSec->value(), ReadMarks::Clock::now());
  ShowReadStatus();
  if (marking) timerReadMes_->start(readMarks_.IntervalMs());
}

void ReadingPage::LoadHtmlText(const std::string& html) {
  ui.WebBrowser->Navigate(QStringLiteral("about:blank"));
  // Scripts and styles are never shown or spoken, and a "<" in one cannot hide the text after it.
  ui.WebBrowser->LoadDocument(WithFinalLineBreak(WithoutScripts(html)));
  ui.WebBrowser->WaitUntilComplete();
}

void ReadingPage::ApplyHtmlTextSize() {
  const int index = ui.ComboBoxWBFont->currentIndex();
  if (index < 0 || index > 4 || status_ == nullptr) return;
  status_->SetPanelText(1, QStringLiteral("Загрузка... (Load)"));
  ui.WebBrowser->Stop();
  ui.WebBrowser->SetZoom(index);
  ui.WebBrowser->WaitUntilComplete();
  status_->SetPanelText(1, QStringLiteral("Гуд (complete)"));
}

void ReadingPage::CheckBoxWBBClick() { ui.PanelWBB->setVisible(!ui.PanelWBB->isVisible()); }

void ReadingPage::ButtonGetWBBackgroundClick() {
  // A field without a folder part starts the dialog in the program's folder; otherwise it
  // opens where it was left.
  if (!ui.EditWBBackground->text().contains(QLatin1Char('/'))) {
    pictureDialog_->setDirectory(QString::fromStdString(FsPath(state_.programFolder).string()));
  }
  if (pictureDialog_->exec() != QDialog::Accepted || pictureDialog_->selectedFiles().isEmpty())
    return;
  SetControlText(
      ui.EditWBBackground,
      NameFromPath(
          QFileInfo(pictureDialog_->selectedFiles().first()).absoluteFilePath().toStdString()));
}

void ReadingPage::ShowReadStatus() {
  const bool read = readMarks_.IsCurrentRead();
  ui.ToolButtonRadMes->setIcon(
      style()->standardIcon(read ? QStyle::SP_DialogYesButton : QStyle::SP_DialogNoButton));
  ui.ToolButtonRadMes->setProperty("read", read);
}

void ReadingPage::ToolButtonRadMesClick() {
  readMarks_.Toggle();
  ShowReadStatus();
}

void ReadingPage::TimerReadMesTimer() {
  if (readMarks_.Tick(ReadMarks::Clock::now(), !state_.speaking)) {
    ShowReadStatus();
    window()->repaint();
  }
}

bool ReadingPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui.LabelLink && event->type() == QEvent::MouseButtonDblClick) {
    LabelLinkDblClick();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void ReadingPage::LabelLinkDblClick() {
  const std::string link = ControlText(ui.EditLink);
  if (!IsOpenableLink(link)) {
    // Only web and ftp addresses go to the desktop: a feed's link may name a local program.
    if (!link.empty()) status_->SetPanelText(2, ToQ(RefusedLinkText(link)));
    return;
  }
  QDesktopServices::openUrl(QUrl(ToQ(std::string(TrimControls(link)))));
}

void ReadingPage::CopyListToClipboard() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  status_->SetPanelText(
      2, QStringLiteral("Загружаем все найденные сообщения в буфер обмена как плоский текст... "
                        "(Copying all found messages to the clipboard as plain text...)"));
  status_->SetPanelText(1, QStringLiteral("Загрузка.. (Loading)"));
  struct Finish {
    StatusLine* status;
    ~Finish() {
      QApplication::restoreOverrideCursor();
      status->SetPanelText(1, QStringLiteral("Гуд (complete)"));
    }
  } finish{status_};
  std::string html = ClipboardHtml(state_.messages, model_->Numbers());
  status_->SetPanelText(1, QStringLiteral("Загрузка... (Load)"));
  LoadHtmlText(html);
  ui.MemoMess->setPlainText(ToQ(ui.WebBrowser->PlainText()));
  ui.MemoMess->selectAll();
  ui.MemoMess->copy();
}

}  // namespace vorlin
