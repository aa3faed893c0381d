// The scan page: ingestion controls, settings of a run, scan folders and the log pane.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "app/app_state.h"
#include "ingest/ingestion_run.h"
#include "ingest/scan_timer.h"
#include "ui_scan_page.h"

class QFileDialog;
class QTimer;

namespace vorlin {

class StatusLine;

class ScanPage : public QWidget {
  Q_OBJECT

 public:
  explicit ScanPage(AppState& state, QWidget* parent = nullptr);

  // Hands the page the window's status line, the timer TimerScan and the store dialog
  // SaveTextFileDialog (all owned by the main window), and connects the page's buttons and
  // the timer to their handlers. Until then the handlers must not be called.
  void Attach(StatusLine& status, QTimer& timerScan, QFileDialog& storeDialog);

  // The store named by EditNameFileAllRSS, and the scan folders of MRSSDir (one a line).
  std::string StoreName() const;
  void SetStoreName(const std::string& storeName);
  std::string ScanFolders() const;
  void SetScanFolders(const std::string& lines);
  // Adds a line at the end of the log pane (the downloads log there too) and scrolls to it.
  void AppendLog(const QString& line);
  // The download folder that every run scans besides MRSSDir; it answers blank when the user
  // has turned that off.
  void SetDownloadFolder(std::function<std::string()> folder) {
    downloadFolder_ = std::move(folder);
  }

  // Makes the indexes in memory belong to the store the field names: when the field was
  // edited to name another store, switches to it as ChooseStore does (on failure the field
  // names the old store again and Error is thrown). Returns the store of the indexes. Called
  // when editing of the field ends, and before a run, a load and the shutdown saves.
  std::string CommitStoreName();

  const ScanTimer& Timer() const { return timer_; }

 signals:
  // A run stored `count` new messages (count > 0).
  void MessagesStored(int count);

 public:
  bool RunInProgress() const { return running_; }

  // The handlers. Each one that fails throws Error after the buttons and the timer have taken
  // their final state; the connections made by Attach show such errors in the error box.
  void ButtonStartOneClick();
  void ButtonStartOnTimerClick();
  void ButtonStopTimerClick();
  void TimerScanTimer();
  void ButtonGetNameFileAllRSSClick();
  void ButtonAddDirToMRSSDirClick();
  void ButtonCleanAllInMRSSDirClick();
  // Removes the line of MRSSDir that holds the text cursor.
  void ButtonDelDirInMRSSDirClick();
  // After downloads: a one-shot run that adds them to the store (once the run in progress,
  // if any, has ended). Logs why not when no store is named; shows its own errors.
  void RunAfterDownload();

  // What the two dialog handlers do once the user has confirmed a name: switch to the store
  // `storeName` (its indexes replace those of the current store; on failure the current store
  // and its indexes stay), and append the folder `folder` as a line of MRSSDir.
  void ChooseStore(const std::string& storeName);
  void AddScanFolderLine(const std::string& folder);

 private:
  IngestOptions Options() const;
  // Runs `run` with the page's log pane, status line and the window's store index.
  void Run(int (*run)(const IngestOptions&, IngestEnv&));
  // The timer and the two start buttons follow the state of timer_.
  void Sync();

  Ui::ScanPage ui;
  AppState& state_;
  StatusLine* status_ = nullptr;
  QTimer* timerScan_ = nullptr;
  QFileDialog* storeDialog_ = nullptr;
  ScanTimer timer_;
  bool running_ = false;
  bool runAfterRun_ = false;  // downloads ended during a run: run again once it is over
  std::function<std::string()> downloadFolder_;
};

}  // namespace vorlin
