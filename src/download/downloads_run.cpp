// The downloads of the downloads page: the manual and the timed batch, the one-file download,
// Stop and the download timer. Each fetch runs on the page's worker (one at a time); the batch
// goes on to its next row when the fetch's result arrives on the UI thread.
#include <QApplication>
#include <QTimer>
#include <exception>

#include "app/control_state.h"
#include "app/error_report.h"
#include "app/status_line.h"
#include "download/downloads_page.h"
#include "ui_downloads_page.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

void RequireFolder(const std::string& folder) {
  // An empty folder would put the files into the root of the file system.
  if (folder.empty()) {
    throw Error(
        "No download folder: choose the folder for downloaded files with the \"?\" button "
        "beside \"Download folder\" on the downloads page");
  }
}

}  // namespace

void DownloadsPage::Sync() {
  const bool downloading = Downloading();
  if (downloading != busyCounted_) {
    state_.busy += downloading ? 1 : -1;
    busyCounted_ = downloading;
  }
  const bool idle = !downloading && !timer_.On();
  for (QPushButton* button :
       {ui->ButtonDownloadAll, ui->ButtonDownloadOneFile, ui->ButtonDownloadAllOnTimer}) {
    button->setEnabled(idle);
  }
  // The rows must stay where a download in progress will stamp them.
  for (QPushButton* control : {ui->ButtonUrlAdd, ui->ButtonUrlSave, ui->ButtonUrlDelete,
                               ui->ButtonCleanDate, ui->ButtonBob, ui->ButtonLoadListURL}) {
    control->setEnabled(!downloading);
  }
  ui->SGridDF->setEnabled(!batch_.has_value());
}

void DownloadsPage::StartBatch(DownloadBatch::Kind kind) {
  const std::string folder = Folder();
  RequireFolder(folder);
  batchFolder_ = folder;
  batch_.emplace(kind, grid_, clock_, &state_.stopDownload);
  timedBatch_ = kind == DownloadBatch::Kind::kTimed;
  if (timedBatch_) ShowGrid();  // the first pass stamps new rows and fills empty frequencies
  Sync();
  StepBatch();
}

void DownloadsPage::StepBatch() {
  std::optional<DownloadJob> job;
  try {
    job = batch_->Next();
  } catch (const std::exception& e) {
    EndBatch();
    ReportError(QString::fromUtf8(e.what()));
    return;
  }
  if (!job) {
    EndBatch();
    return;
  }
  const int row = job->row;
  SelectRow(row);
  runner_.Start(job->url, batchFolder_, [this, row](const FetchOutcome& outcome) {
    if (outcome.ioError) {
      EndBatch();
      ReportError(QString::fromUtf8(outcome.reason));
      return;
    }
    emit LogLine(ToQ(batch_->Complete(outcome.ok)));
    ShowRow(row);
    StepBatch();
  });
}

void DownloadsPage::EndBatch() {
  batch_.reset();
  const bool timed = timedBatch_;
  timedBatch_ = false;
  Sync();
  // The timed check turned the timer off for its batch.
  if (timed && timer_.On()) timerDownloadAll_->start();
  emit DownloadFinished();
}

void DownloadsPage::ButtonDownloadAllClick() {
  if (Downloading() || timer_.On()) {
    throw Error("Cannot start downloading all: a download or the download timer is running");
  }
  StartBatch(DownloadBatch::Kind::kManual);
}

void DownloadsPage::ButtonDownloadOneFileClick() {
  if (Downloading() || timer_.On()) {
    throw Error("Cannot download one file: a download or the download timer is running");
  }
  const std::string folder = Folder();
  RequireFolder(folder);
  oneRow_ = SelectedRow();
  Sync();
  runner_.Start(ControlText(ui->EditURL), folder, [this](const FetchOutcome& outcome) {
    const int row = oneRow_;
    oneRow_ = -1;
    Sync();
    if (outcome.ioError) {
      emit DownloadFinished();
      ReportError(QString::fromUtf8(outcome.reason));
      return;
    }
    RecordOneDownload(grid_, row, outcome.ok, clock_());
    if (outcome.ok) QApplication::beep();
    if (grid_.IsDataRow(row)) ShowRow(row);
    emit DownloadFinished();
  });
}

void DownloadsPage::ButtonDownloadAllOnTimerClick() {
  // A timed batch inside a running one would fetch and stamp the same rows twice.
  if (Downloading()) {
    throw Error("Cannot start downloading on timer: a download is in progress");
  }
  state_.stopDownload = false;
  timer_.Start();
  timerDownloadAll_->start();
  Sync();
}

void DownloadsPage::ButtonStopAllClick() { state_.stopDownload = true; }

void DownloadsPage::TimerDownloadAllTimer() {
  switch (timer_.Tick(state_.stopDownload)) {
    case DownloadTimer::Action::kStopped:
      timerDownloadAll_->stop();
      status_->SetPanelText(0, QString());
      Sync();
      return;
    case DownloadTimer::Action::kCounted:
      status_->SetPanelText(0, ToQ(timer_.CounterText()));
      return;
    case DownloadTimer::Action::kCheck:
      break;
  }
  // The timer stays off while the check and its batch run, so two checks never overlap.
  timerDownloadAll_->stop();
  try {
    const bool needed = DownloadCheckNeeded(grid_, clock_());
    ShowGrid();
    if (needed) {
      StartBatch(DownloadBatch::Kind::kTimed);
      return;
    }
  } catch (...) {
    ShowGrid();
    timerDownloadAll_->start();
    throw;
  }
  timerDownloadAll_->start();
}

}  // namespace vorlin
