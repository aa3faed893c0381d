#include "ingest/scan_page.h"

#include <QFileDialog>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <utility>

#include "app/control_state.h"
#include "app/error_report.h"
#include "app/status_line.h"
#include "ingest/folder_scan.h"
#include "ingest/store_swap.h"
#include "store/store_recovery.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

// Runs `action` when the scope ends, however it ends.
template <typename Action>
class OnExit {
 public:
  explicit OnExit(Action action) : action_(std::move(action)) {}
  ~OnExit() { action_(); }
  OnExit(const OnExit&) = delete;
  OnExit& operator=(const OnExit&) = delete;

 private:
  Action action_;
};

// The per-file texts of a run: the third panel and a repaint, but no event processing, so
// that nothing can interleave with the walk of the files and the store write.
class RepaintProgress final : public Progress {
 public:
  RepaintProgress(StatusLine& status, QWidget& window) : status_(status), window_(window) {}
  void ShowStatusText(const std::string& text) override {
    status_.SetPanelText(2, ToQ(text));
    window_.repaint();
  }

 private:
  StatusLine& status_;
  QWidget& window_;
};

// Calls a handler from a signal. Exceptions must not unwind through Qt's signal delivery, so
// they are caught here and shown in the program's error box.
template <typename Handler>
auto Reporting(ScanPage* page, Handler handler) {
  return [page, handler] {
    try {
      (page->*handler)();
    } catch (const std::exception& e) {
      ReportError(QString::fromUtf8(e.what()));
    }
  };
}

}  // namespace

ScanPage::ScanPage(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  ui.setupUi(this);
}

void ScanPage::Attach(StatusLine& status, QTimer& timerScan, QFileDialog& storeDialog) {
  status_ = &status;
  timerScan_ = &timerScan;
  storeDialog_ = &storeDialog;
  // Choosing an existing store is the usual case, not an overwrite.
  storeDialog_->setOption(QFileDialog::DontConfirmOverwrite);
  connect(ui.ButtonStartOne, &QPushButton::clicked, this,
          Reporting(this, &ScanPage::ButtonStartOneClick));
  connect(ui.ButtonStartOnTimer, &QPushButton::clicked, this,
          Reporting(this, &ScanPage::ButtonStartOnTimerClick));
  connect(ui.ButtonStopTimer, &QPushButton::clicked, this,
          Reporting(this, &ScanPage::ButtonStopTimerClick));
  connect(timerScan_, &QTimer::timeout, this, Reporting(this, &ScanPage::TimerScanTimer));
  connect(ui.ButtonGetNameFileAllRSS, &QPushButton::clicked, this,
          Reporting(this, &ScanPage::ButtonGetNameFileAllRSSClick));
  connect(ui.ButtonAddDirToMRSSDir, &QPushButton::clicked, this,
          Reporting(this, &ScanPage::ButtonAddDirToMRSSDirClick));
  connect(ui.ButtonCleanAllInMRSSDir, &QPushButton::clicked, this,
          Reporting(this, &ScanPage::ButtonCleanAllInMRSSDirClick));
  connect(ui.ButtonDelDirInMRSSDir, &QPushButton::clicked, this,
          Reporting(this, &ScanPage::ButtonDelDirInMRSSDirClick));
  connect(ui.EditNameFileAllRSS, &QLineEdit::editingFinished, this,
          Reporting(this, &ScanPage::CommitStoreName));
}

std::string ScanPage::StoreName() const { return ControlText(ui.EditNameFileAllRSS); }

void ScanPage::SetStoreName(const std::string& storeName) {
  SetControlText(ui.EditNameFileAllRSS, storeName);
}

std::string ScanPage::ScanFolders() const { return ControlText(ui.MRSSDir); }

void ScanPage::SetScanFolders(const std::string& lines) { SetControlText(ui.MRSSDir, lines); }

void ScanPage::AppendLog(const QString& line) {
  ui.MemoLog->appendPlainText(line);
  // The newest line is the one the user waits for, wherever the pane was scrolled.
  QScrollBar* bar = ui.MemoLog->verticalScrollBar();
  bar->setValue(bar->maximum());
}

std::string ScanPage::CommitStoreName() {
  const std::string typed = StoreName();
  if (typed != state_.indexStore) ChooseStore(typed);
  return state_.indexStore;
}

IngestOptions ScanPage::Options() const {
  IngestOptions options;
  options.storeName = state_.indexStore;
  options.scanSubfolders = ui.CBoxScanSubDir->isChecked();
  options.scanFolders = WithDownloadFolder(SplitLines(ControlText(ui.MRSSDir)),
                                           downloadFolder_ ? downloadFolder_() : std::string(),
                                           options.scanSubfolders);
  options.purgeDuplicates = ui.CBoxPurgeEq->isChecked();
  options.deleteProcessed = ui.CBoxDelRssAfterProc->isChecked();
  options.deleteNotRss = ui.CBoxDeleteXmlNotRSS->isChecked();
  options.uniqueOnly = ui.CBoxLoadUniqueMess->isChecked();
  options.deleteBadFiles = ui.CBoxDelBadRSSFiles->isChecked();
  options.keepUndated = ui.CBoxKeepUndatedMess->isChecked();
  return options;
}

void ScanPage::Run(int (*run)(const IngestOptions&, IngestEnv&)) {
  CommitStoreName();
  // Keys checked against, and saved over, an index that could not be read would let every
  // stored message in again.
  if (state_.storeIndexBroken) {
    throw Error("Cannot run: the store index of " +
                Cp1251ToUtf8(ControlText(ui.EditNameFileAllRSS)) +
                " could not be read or rebuilt at start-up; mend the store or choose another");
  }
  // Downloads that ended during this run are added by a run of their own right after it.
  OnExit again([this] {
    if (!runAfterRun_) return;
    runAfterRun_ = false;
    QTimer::singleShot(0, this, Reporting(this, &ScanPage::RunAfterDownload));
  });
  BusyScope busy(state_);
  running_ = true;
  OnExit done([this] { running_ = false; });
  QWidget& window = *this->window();
  StatusProgress progress(*status_, window);
  RepaintProgress fileProgress(*status_, window);
  IngestEnv env{state_.storeIndex, [this](const std::string& line) { AppendLog(ToQ(line)); },
                progress, nullptr, &fileProgress};
  const int stored = run(Options(), env);
  if (stored > 0) emit MessagesStored(stored);
}

void ScanPage::Sync() {
  const bool armed = timer_.TimerEnabled();
  if (armed && !timerScan_->isActive()) timerScan_->start();
  if (!armed) timerScan_->stop();
  ui.ButtonStartOne->setEnabled(timer_.StartButtonsEnabled());
  ui.ButtonStartOnTimer->setEnabled(timer_.StartButtonsEnabled());
}

void ScanPage::ButtonStartOneClick() {
  for (QPushButton* button : {ui.ButtonStartOnTimer, ui.ButtonStartOne, ui.ButtonStopTimer}) {
    button->setEnabled(false);
  }
  // Also after a run that failed, so that the user can start again once the cause is mended.
  OnExit enable([this] {
    ui.ButtonStopTimer->setEnabled(true);
    Sync();
  });
  Run(&RunOneShotIngestion);
}

void ScanPage::ButtonStartOnTimerClick() {
  timer_.Start(ControlText(ui.EditTimeScan));
  Sync();
}

void ScanPage::ButtonStopTimerClick() {
  timer_.Stop();
  Sync();
}

void ScanPage::TimerScanTimer() {
  std::string countdown;
  try {
    countdown = timer_.Tick(
        [this] {
          timerScan_->stop();
          Run(&RunTimedIngestion);
        },
        [this] { return ControlText(ui.EditTimeScan); });
  } catch (...) {
    Sync();  // the failed run leaves the timer stopped and the start buttons enabled
    throw;
  }
  if (!countdown.empty()) status_->SetPanelText(0, ToQ(countdown));
  Sync();
}

void ScanPage::ButtonGetNameFileAllRSSClick() {
  const std::string current = ControlText(ui.EditNameFileAllRSS);
  storeDialog_->setDirectory(ToQ(StoreDialogFolder(current, state_.programFolder)));
  if (storeDialog_->exec() != QDialog::Accepted) return;
  const QStringList chosen = storeDialog_->selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return;
  ChooseStore(FromQ(chosen.first()));
}

void ScanPage::ChooseStore(const std::string& storeName) {
  // A run holds the store index and the store name it started with; swapping them under it
  // would write one store's keys into the other's index.
  if (running_) {
    throw Error("Cannot choose the store " + Cp1251ToUtf8(storeName) +
                ": an ingestion run is in progress");
  }
  // The indexes are saved beside the store they were loaded for, never beside a name that was
  // merely typed. The store name and the indexes in memory must agree whatever fails: on a
  // failure the current store keeps the keys it had, and the field names it again.
  const std::string current = state_.indexStore;
  KeyIndex storeIndex = state_.storeIndex;
  KeyIndex readIndex = state_.readIndex;
  KeyIndex readIndexBase = state_.readIndexBase;
  try {
    // An index that could not be read at start-up is not written over its file.
    // Under the old store's lock; keys another process saved meanwhile are kept.
    if (!current.empty() && !state_.storeIndexBroken) {
      SaveStoreIndexLocked(current, state_.storeIndex);
    }
    if (!current.empty() && !state_.readIndexBroken) {
      SaveReadIndexLocked(current, state_.readIndex, state_.readIndexBase);
    }
    SwitchStore({}, storeName, state_.storeIndex, state_.readIndex, state_.readIndexBase);
  } catch (...) {
    state_.storeIndex = std::move(storeIndex);
    state_.readIndex = std::move(readIndex);
    state_.readIndexBase = std::move(readIndexBase);
    SetControlText(ui.EditNameFileAllRSS, current);
    throw;
  }
  state_.storeIndexBroken = false;
  state_.readIndexBroken = false;
  state_.indexStore = storeName;
  SetControlText(ui.EditNameFileAllRSS, storeName);
}

void ScanPage::ButtonAddDirToMRSSDirClick() {
  const QString folder = QFileDialog::getExistingDirectory(
      this, ToQ(FolderPickerCaption()),
      ToQ(FolderPickerStart(SplitLines(ControlText(ui.MRSSDir)))));
  if (folder.isEmpty()) return;  // cancelled
  AddScanFolderLine(FromQ(folder));
}

void ScanPage::AddScanFolderLine(const std::string& folder) {
  std::vector<std::string> lines = SplitLines(ControlText(ui.MRSSDir));
  AddScanFolder(lines, folder);
  SetControlText(ui.MRSSDir, JoinLines(lines));
}

void ScanPage::ButtonCleanAllInMRSSDirClick() { ui.MRSSDir->clear(); }

void ScanPage::ButtonDelDirInMRSSDirClick() {
  QTextCursor cursor = ui.MRSSDir->textCursor();
  const int line = cursor.blockNumber();
  std::vector<std::string> lines = SplitLines(ControlText(ui.MRSSDir));
  if (line >= static_cast<int>(lines.size())) return;
  lines.erase(lines.begin() + line);
  std::string text;  // one folder a line, no line end after the last
  for (const std::string& folder : lines) text += (text.empty() ? "" : "\n") + folder;
  SetControlText(ui.MRSSDir, text);
  // The cursor stays on the line that took the removed one's place.
  cursor = ui.MRSSDir->textCursor();
  cursor.movePosition(QTextCursor::Start);
  cursor.movePosition(QTextCursor::NextBlock, QTextCursor::MoveAnchor,
                      std::min(line, ui.MRSSDir->blockCount() - 1));
  ui.MRSSDir->setTextCursor(cursor);
}

void ScanPage::RunAfterDownload() {
  if (running_) {
    runAfterRun_ = true;
    return;
  }
  if (StoreName().empty()) {
    // The third panel, not the log: a download list used without a store is no failure.
    status_->SetPanelText(
        2, QStringLiteral("Хранилище не выбрано: загруженное не добавлено, выберите его кнопкой "
                          "\"?\" на странице сканирования. (No store chosen: the downloads were "
                          "not added; choose it with \"?\" on the scan page.)"));
    return;
  }
  AppendLog(QStringLiteral(
      "    Добавление загруженного в хранилище (Adding the downloads to the store)"));
  // The one-shot run of the start button, its buttons locked as the button does.
  try {
    ButtonStartOneClick();
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
  }
}

}  // namespace vorlin
