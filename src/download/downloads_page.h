// The downloads page: the download list grid, its editor, the list files, the download buttons,
// the download timer and the float window's transfer. The list itself lives in a DownloadGrid
// that the grid control shows (control row r is list row r + 1; row 0 is the header).
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "download/download_batch.h"
#include "download/download_list.h"
#include "download/download_schedule.h"
#include "download/fetch_runner.h"

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
  void SetFetchLimits(const FetchLimits& limits) { runner_.SetLimits(limits); }

  // The list files behind the two list dialogs.
  void SaveListTo(const std::string& fileName);
  void LoadListFrom(const std::string& fileName);

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
  void ShowGrid();
  void ShowRow(int row);
  // Enables the controls for the current state of downloads and timer mode.
  void Sync();
  void StartBatch(DownloadBatch::Kind kind);
  void StepBatch();
  void EndBatch();

  std::unique_ptr<Ui::DownloadsPage> ui;
  AppState& state_;
  DownloadGrid grid_;
  bool editGuard_ = false;
  bool listUnreadable_ = false;  // DLFiles.txt exists but could not be read at start-up
  Clock clock_ = &SystemNow;
  FetchRunner runner_;
  std::optional<DownloadBatch> batch_;
  bool timedBatch_ = false;
  std::string batchFolder_;
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
