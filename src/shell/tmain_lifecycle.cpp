// Start-up, shutdown and the handlers of the main window itself.
#include <QApplication>
#include <QColorDialog>
#include <QDateTime>
#include <QPushButton>
#include <QTabWidget>
#include <exception>

#include "ingest/scan_page.h"
#include "reader/reading_page.h"
#include "reader/search_page.h"
#include "shell/about_page.h"
#include "shell/control_state.h"
#include "shell/error_report.h"
#include "shell/settings_io.h"
#include "shell/settings_keys.h"
#include "shell/status_line.h"
#include "shell/tmain.h"
#include "store/census.h"
#include "store/store_loader.h"
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

std::string TMain::StoreName() const { return ControlText(scan_->ui.EditNameFileAllRSS); }

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
    SetControlText(scan_->ui.MRSSDir, lines);
  }
  if (FileExists(folder + kSettingsFile)) {
    ApplySettings(this, SettingsFile::Load(folder + kSettingsFile));
  }
  if (options_.store) SetControlText(scan_->ui.EditNameFileAllRSS, FromQ(*options_.store));
  if (options_.page >= 0) pageControl_->setCurrentIndex(options_.page);

  if (ControlText(search_->ui.EditDirFavoritListChannel).empty()) {
    SetControlText(search_->ui.EditDirFavoritListChannel, state_.programFolder);
  }
  search_->ShowFavoriteFolder(ControlText(search_->ui.EditDirFavoritListChannel));

  state_.ClearLists();

  // Without a store name there is no store and no index beside it.
  const std::string store = StoreName();
  if (!store.empty()) {
    state_.storeIndexBroken = !RunStep([&] { LoadOrRebuildStoreIndex(store, state_.storeIndex); });
    state_.readIndexBroken = !RunStep([&] { state_.readIndex.Load(ReadIndexName(store)); });
  }

  const QDateTime now = QDateTime::currentDateTime();
  search_->ui.DateTimePickerS->setDateTime(now);
  search_->ui.DateTimePickerE->setDateTime(now);
  for (QLineEdit* field : {reading_->ui.EditWBTitleRSS, reading_->ui.EditWBTitle,
                           reading_->ui.EditLink, reading_->ui.EditDatePub}) {
    field->clear();
  }

  colorDialog_->setCurrentColor(reading_->ui.MemoMess->palette().color(QPalette::Base));
  about_->ShowManual();
}

void TMain::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  const std::string& folder = state_.settingsFolder;
  RunStep([&] {
    WriteFileAtomic(folder + kScanFoldersFile,
                    JoinLines(SplitLines(ControlText(scan_->ui.MRSSDir))));
  });
  RunStep([&] { CollectSettings(this).Save(folder + kSettingsFile); });
  const std::string store = StoreName();
  if (!store.empty()) {
    if (!state_.storeIndexBroken) RunStep([&] { state_.storeIndex.Save(StoreIndexName(store)); });
    if (!state_.readIndexBroken) RunStep([&] { state_.readIndex.Save(ReadIndexName(store)); });
  }
  state_.ClearLists();
}

void TMain::ButtonExitClick() {
  QApplication::processEvents();
  close();
}

void TMain::ButtonHelpClick() {
  pageControl_->setCurrentIndex(3);
  about_->ShowManual();
}

void TMain::ButtonLoadAllFromArxClick() {
  BusyScope busy(state_);
  QPushButton* button = search_->ui.ButtonLoadAllFromArx;
  button->setEnabled(false);
  try {
    StatusProgress progress(*status_, *this);
    LoadStore(StoreName(), state_.messages, progress);
    search_->ui.ListBoxChannel->clear();
    search_->ui.ListBoxChannelAll->clear();
    state_.channels.clear();
    state_.channels = TakeCensus(state_.messages, progress);
    QStringList titles;
    titles.reserve(static_cast<qsizetype>(state_.channels.size()));
    for (const std::string& title : state_.channels) titles << ToQ(title);
    search_->ui.ListBoxChannelAll->addItems(titles);
    status_->SetPanelText(
        2, ToQ(CensusSummary(state_.messages.Count(), static_cast<int>(state_.channels.size()))));
  } catch (const std::exception& e) {
    button->setEnabled(true);
    ReportError(QString::fromUtf8(e.what()));
    return;
  }
  button->setEnabled(true);
}

}  // namespace vorlin
