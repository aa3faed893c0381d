// The downloads of the downloads page: the manual and the timed batch, the one-file download,
// Stop and the download timer. The transfers run on the page's worker, up to the number of
// SpinEditParallelDownloads at once; the batch hands out further rows as results arrive on the
// UI thread and records them in list order.
#include <QApplication>
#include <QTimer>
#include <exception>

#include "app/control_state.h"
#include "app/error_report.h"
#include "app/status_line.h"
#include "download/download_list_check.h"
#include "download/downloads_page.h"
#include "download/url_text.h"
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
  batch_.emplace(kind, grid_, clock_, &state_.stopDownload);
  validators_ = listFile_.empty() ? ValidatorMap{} : LoadValidators(listFile_);
  parallel_.emplace(*batch_, folder, listFile_.empty() ? nullptr : &validators_,
                    ui->SpinEditParallelDownloads->value());
  timedBatch_ = kind == DownloadBatch::Kind::kTimed;
  if (timedBatch_) ShowGrid();  // the first pass stamps new rows and fills empty frequencies
  Sync();
  StepBatch();
}

void DownloadsPage::StepBatch() {
  for (FetchRequest& request : parallel_->Ready()) runner_.Start(std::move(request));
  for (const BatchReport& report : parallel_->TakeReports()) {
    emit LogLine(ToQ(report.line));
    SelectRow(report.row);
    ShowRow(report.row);
  }
  if (parallel_->Done()) EndBatch();
}

void DownloadsPage::Fetched(const FetchResult& result) {
  if (oneRow_ >= 0) {
    const int row = oneRow_;
    oneRow_ = -1;
    Sync();
    if (result.status == FetchStatus::kFileError) {
      emit DownloadFinished();
      ReportError(QString::fromUtf8(result.reason));
      return;
    }
    // An aborted download leaves the row as it was.
    if (result.status != FetchStatus::kAborted) {
      const bool ok = result.status == FetchStatus::kStored;
      RecordOneDownload(grid_, row, ok, clock_());
      if (ok) QApplication::beep();
      if (grid_.IsDataRow(row)) ShowRow(row);
    }
    emit DownloadFinished();
    return;
  }
  if (!parallel_) return;
  parallel_->Finished(result);
  StepBatch();
}

void DownloadsPage::AbortDownloads() {
  state_.stopDownload = true;
  if (parallel_) parallel_->Stop();
  runner_.Abort();
}

void DownloadsPage::EndBatch() {
  const std::string error = parallel_->Error();
  parallel_.reset();
  batch_.reset();
  const bool timed = timedBatch_;
  timedBatch_ = false;
  Sync();
  // The timed check turned the timer off for its batch.
  if (timed && timer_.On()) timerDownloadAll_->start();
  emit DownloadFinished();
  std::string saveError;
  try {
    if (!listFile_.empty()) SaveValidators(listFile_, validators_, grid_);
  } catch (const std::exception& e) {
    saveError = e.what();
  }
  if (!error.empty()) ReportError(QString::fromUtf8(error));
  if (!saveError.empty()) ReportError(QString::fromUtf8(saveError));
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
  if (SelectedRow() == 0) throw Error(kNoRowSelected);
  const std::string folder = Folder();
  RequireFolder(folder);
  oneRow_ = SelectedRow();
  Sync();
  FetchRequest request;
  // As typed: a character the code page lacks reaches the server as it was typed.
  request.url = UrlCellFromTyped(ui->EditURL->text().toStdString());
  request.folder = folder;
  runner_.Start(std::move(request));
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

// Also ends the downloads in progress; their rows keep their stamps.
void DownloadsPage::ButtonStopAllClick() {
  state_.stopDownload = true;
  if (Downloading()) AbortDownloads();
}

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
  } catch (const std::exception& e) {
    ShowGrid();
    timerDownloadAll_->start();
    // The same bad cell fails every check; it is shown once, not every minute.
    if (e.what() == lastTimerError_) return;
    lastTimerError_ = e.what();
    throw;
  }
  lastTimerError_.clear();
  timerDownloadAll_->start();
}

}  // namespace vorlin
