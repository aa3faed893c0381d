// The downloads page: the download list grid, its editor, the list files, the download buttons,
// the download timer and the float window's transfer. The list itself lives in a DownloadGrid
// that the grid control shows (control row r is list row r + 1; row 0 is the header).
#pragma once

#include <QString>
#include <QWidget>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "download/download_batch.h"
#include "download/download_list.h"
#include "download/download_schedule.h"
#include "download/feed_validators.h"
#include "download/fetch_runner.h"
#include "download/parallel_batch.h"

class QFileDialog;
class QTimer;

namespace Ui {
class DownloadsPage;
}

namespace vorlin {

class StatusLine;
class TFormPopUp;

class DownloadsPage : public QWidget {
  Q_OBJECT

 public:
  explicit DownloadsPage(AppState& state, QWidget* parent = nullptr);
  ~DownloadsPage() override;

  // Hands the page what the main window owns (the status line, TimerDownloadAll, the two list
  // dialogs and the float window), connects the controls and registers the window as a drop
  // target for EditURL and EditCommentary. Until then the handlers must not be called.
  void Attach(StatusLine& status, QTimer& timerDownloadAll, QFileDialog& openListDialog,
              QFileDialog& saveListDialog, TFormPopUp& formPopUp);

  // Start-up and shutdown: DLFiles.txt in `folder` (loaded when it exists; the headers are set
  // either way), and written back, unless it existed and could not be read.
  void LoadDownloadList(const std::string& folder);
  void SaveDownloadList(const std::string& folder);

  const DownloadGrid& Grid() const { return grid_; }
  // The download folder when "Добавлять загруженное в хранилище" is on (every ingestion run
  // scans it, and a run follows each download); blank when it is off.
  std::string FolderForStore() const;
  // The selected list row (1 and up), 0 when none.
  int SelectedRow() const;
  void SelectRow(int row);
  // A batch or a one-file download is in progress.
  bool Downloading() const { return batch_.has_value() || oneRow_ >= 0; }
  const DownloadTimer& Timer() const { return timer_; }

  // For tests and the command line: the clock of the stamps and the due test, and the limits
  // of the fetches.
  void SetClock(Clock clock) { clock_ = std::move(clock); }
  void SetFetchLimits(const FetchLimits& limits) {
    runner_.SetLimits(limits);
    discoveryLimits_ = limits;
  }
  // Feed discovery of added rows is running or waiting.
  bool Discovering() const { return !toDiscover_.empty(); }

  // The list files behind the two list dialogs. Loading refuses a file that is not a list and
  // asks before it replaces a list that holds addresses.
  void SaveListTo(const std::string& fileName);
  void LoadListFrom(const std::string& fileName);
  // OPML 2.0 files of other feed readers: rows for the feeds not yet listed, and the list.
  void ImportOpmlFrom(const std::string& fileName);
  void ExportOpmlTo(const std::string& fileName);
  // The question the page asks (yes or no); tests answer it.
  void SetAsk(std::function<bool(const QString&)> ask) { ask_ = std::move(ask); }

  // The handlers. Each one that fails throws Error; the connections made by Attach show such
  // errors in the error box.
  void SGridDFSelectCell(int row);
  void ButtonUrlAddClick();
  void ButtonUrlSaveClick();
  void ButtonUrlDeleteClick();
  void ButtonUrlClearClick();
  void ButtonCleanDateClick();
  void SpeedButtonUrlUpClick();
  void SpeedButtonUrlDnClick();
  void ButtonSaveListURLClick();
  void ButtonLoadListURLClick();
  void ButtonSelectDirSaveDFilesClick();
  void ButtonBobClick();
  void ButtonImportOPMLClick();
  void ButtonExportOPMLClick();
  void ButtonDownloadAllClick();
  void ButtonDownloadOneFileClick();
  void ButtonDownloadAllOnTimerClick();
  void ButtonStopAllClick();
  void TimerDownloadAllTimer();

 signals:
  // A line for the log pane of the scan page (Windows-1251 converted).
  void LogLine(const QString& line);
  // A batch or a one-file download has ended (also after an error).
  void DownloadFinished();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::string Folder() const;
  // The row in the edit fields; throws Error naming the field that is wrong.
  DownloadRow EditedRow() const;
  // Appends a row and selects it.
  void AppendRow(DownloadRow row);
  // Adds a feed row once feed discovery has looked at its address (rows queue up and are added
  // in order): a site's page is replaced by the first feed it announces, a page announcing none
  // is reported and not added, an address that cannot be fetched is added as typed.
  void AddFeedRow(DownloadRow row);
  void DiscoverNext();
  void DiscoveryDone(const std::vector<std::string>& feeds, const std::string& error);
  void ShowGrid();
  void ShowRow(int row);
  // Enables the controls for the current state of downloads and timer mode.
  void Sync();
  void StartBatch(DownloadBatch::Kind kind);
  // Starts the transfers the batch hands out and writes the rows it has recorded.
  void StepBatch();
  void EndBatch();
  void Fetched(const FetchResult& result);
  // Stop, Exit: no new download starts and those in progress are aborted.
  void AbortDownloads();

  std::unique_ptr<Ui::DownloadsPage> ui;
  AppState& state_;
  DownloadGrid grid_;
  bool editGuard_ = false;
  bool listUnreadable_ = false;        // DLFiles.txt exists but could not be read at start-up
  std::vector<DownloadRow> listBase_;  // DLFiles.txt as last read or written, for the merge
  std::function<bool(const QString&)> ask_;
  std::string lastTimerError_;          // the error of the last timed check, shown once
  std::deque<DownloadRow> toDiscover_;  // rows waiting for feed discovery, the first one running
  std::thread discoveryThread_;
  std::atomic<int> discoveryAbort_{0};
  FetchLimits discoveryLimits_;
  Clock clock_ = &SystemNow;
  FetchRunner runner_;
  std::optional<DownloadBatch> batch_;
  std::optional<ParallelBatch> parallel_;
  ValidatorMap validators_;  // of the feeds of listFile_, while a batch runs
  std::string listFile_;     // DLFiles.txt, once loaded
  bool timedBatch_ = false;
  bool busyCounted_ = false;  // a download in progress is counted in state_.busy
  int oneRow_ = -1;           // the row a one-file download stamps, while it runs
  DownloadTimer timer_;
  StatusLine* status_ = nullptr;
  QTimer* timerDownloadAll_ = nullptr;
  QFileDialog* openListDialog_ = nullptr;
  QFileDialog* saveListDialog_ = nullptr;
  TFormPopUp* formPopUp_ = nullptr;
};

}  // namespace vorlin
