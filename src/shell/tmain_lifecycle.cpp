// Start-up, shutdown and the handlers of the main window itself.
#include <QApplication>
#include <QColorDialog>
#include <QDateTime>
#include <QPushButton>
#include <QTabWidget>
#include <chrono>
#include <exception>

#include "app/control_state.h"
#include "app/error_report.h"
#include "app/status_line.h"
#include "download/downloads_page.h"
#include "ingest/scan_page.h"
#include "reader/reading_page.h"
#include "reader/search_page.h"
#include "shell/about_page.h"
#include "shell/settings_io.h"
#include "shell/settings_keys.h"
#include "shell/tmain.h"
#include "speech/speech_controller.h"
#include "speech/speech_page.h"
#include "store/key_index.h"
#include "store/store_loader.h"
#include "store/store_recovery.h"
#include "util/file_io.h"
#include "util/settings_file.h"

namespace vorlin {

namespace {

const char* const kScanFoldersFile = "DirRss.txt";
const char* const kSettingsFile = "OpsRss.txt";

// Runs one step of start-up or shutdown; a failure is reported and the next step still runs,
// so that one unwritable file does not cost the others.
template <typename Step>
bool RunStep(Step step) {
  try {
    step();
    return true;
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
    return false;
  }
}

}  // namespace

void TMain::FormCreate() {
  state_.programFolder = ProgramFolder(FromQ(options_.configDir));
  state_.settingsFolder = SettingsFolder(state_.programFolder);
  const std::string& folder = state_.settingsFolder;

  if (FileExists(folder + kScanFoldersFile)) {
    // One folder a line, without a line end after the last (it would become a blank line).
    std::string lines;
    for (const std::string& line : SplitLines(ReadWholeFile(folder + kScanFoldersFile))) {
      if (!lines.empty()) lines += '\n';
      lines += line;
    }
    scan_->SetScanFolders(lines);
  }
  if (FileExists(folder + kSettingsFile)) {
    ApplySettings(this, SettingsFile::Load(folder + kSettingsFile));
  }
  if (options_.store) scan_->SetStoreName(FromQ(*options_.store));
  if (options_.page >= 0) pageControl_->setCurrentIndex(options_.page);

  search_->ShowFavoriteFolder(state_.programFolder);

  state_.ClearLists();
  RunStep([&] { downloads_->LoadDownloadList(folder); });

  // Without a store name there is no store and no index beside it.
  const std::string store = scan_->StoreName();
  state_.indexStore = store;
  if (!store.empty()) {
    // Mended first if a killed writer left it behind; while another process writes the store,
    // only read (the next run mends and merges under the lock).
    state_.storeIndexBroken =
        !RunStep([&] { OpenStoreIndex(store, state_.storeIndex, std::chrono::milliseconds(500)); });
    state_.readIndexBroken = !RunStep([&] { state_.readIndex.Load(ReadIndexName(store)); });
    state_.readIndexBase = state_.readIndex;
  }

  search_->SetDatePickers(QDateTime::currentDateTime());
  reading_->ClearHeaderFields();

  colorDialog_->setCurrentColor(reading_->TextBackground());
  about_->ShowManual();
}

void TMain::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // The audio sink processes events while it closes; that must happen while every widget
  // still stands, not among the window's children as they are destroyed.
  delete speechController_;
  speechController_ = nullptr;
  const std::string& folder = state_.settingsFolder;
  RunStep([&] {
    WriteFileAtomic(folder + kScanFoldersFile, JoinLines(SplitLines(scan_->ScanFolders())));
  });
  RunStep([&] { downloads_->SaveDownloadList(folder); });
  // A store name typed but not yet taken up is taken up now; if that fails, the indexes are
  // still saved beside the store they belong to.
  RunStep([&] { scan_->CommitStoreName(); });
  RunStep([&] { CollectSettings(this).Save(folder + kSettingsFile); });
  const std::string store = state_.indexStore;
  if (!store.empty()) {
    // Under the store's lock; keys another process saved meanwhile are kept.
    if (!state_.storeIndexBroken) RunStep([&] { SaveStoreIndexLocked(store, state_.storeIndex); });
    if (!state_.readIndexBroken)
      RunStep([&] { SaveReadIndexLocked(store, state_.readIndex, state_.readIndexBase); });
  }
  state_.ClearLists();
}

void TMain::ButtonExitClick() {
  if (speechController_ != nullptr && state_.speaking) speechController_->Loop().Stop();
  QApplication::processEvents();
  close();
}

// The speech engine and the voice list (the last start-up step; the reading controls need
// the running-text window). Without espeak-ng the window still runs, without speech.
void TMain::StartSpeech() {
  try {
    speechController_ =
        new SpeechController(state_, this, *reading_, *speech_, *formRssStr_, status_);
    speech_->FillVoiceList(speechController_->Engine());
  } catch (const std::exception& e) {
    delete speechController_;
    speechController_ = nullptr;
    qWarning("%s", e.what());
  }
}

void TMain::ButtonHelpClick() {
  pageControl_->setCurrentIndex(3);
  about_->ShowManual();
}

}  // namespace vorlin
