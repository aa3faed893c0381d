// The search page of the reading part: loading the store, channel lists and favourite groups,
// search fields, the two searches and the accumulator.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "reader/message_filter.h"
#include "reader/store_refresh.h"
#include "ui_search_page.h"

class QDateTime;
class QFileDialog;

namespace vorlin {

class BackgroundWork;
class StatusLine;
class TFormAlertExFile;
class TFormUSelMes;

class SearchPage : public QWidget {
  Q_OBJECT

 public:
  explicit SearchPage(AppState& state, QWidget* parent = nullptr);

  // Hands the page the window's status line, the source of the current store name (which
  // also brings the indexes in step with it) and the save dialog of favourite groups, and
  // connects the buttons.
  void Attach(StatusLine& status, std::function<std::string()> storeName, QFileDialog& groupDialog);

  // Fills EditDirFavoritListChannel with `programFolder` when it is empty, and lists the
  // favourite group files ("*.myRSS") of that folder in FBoxFavoritListChannel.
  void ShowFavoriteFolder(const std::string& programFolder);
  void SetDatePickers(const QDateTime& dateTime);
  // Hands the page the export options dialog, the file-exists prompt and the name length of
  // exported files (a setting of the reading page), and connects the export button.
  void AttachExport(TFormUSelMes& options, TFormAlertExFile& prompt,
                    std::function<int()> nameLength);
  // The search as the controls now describe it.
  SearchSettings CurrentSettings() const;

  // At start-up, once the window is shown: with "Загружать хранилище при запуске" on, loads
  // the store on a thread of its own while the window stays usable.
  void LoadAtStartUp();
  // After an ingestion run stored new messages: a store that was loaded gets them appended to
  // the message list (or is loaded again when it changed otherwise), in the background.
  void RefreshAfterRun();
  bool LoadInProgress() const;

 signals:
  // The store was loaded again: every message number held elsewhere is void.
  void StoreLoaded();
  // List `numbers` with channel-prefixed lines (sorted results) or bare titles.
  void ListMessages(const std::vector<int>& numbers, bool channelPrefixed);
  // The simple search: the HTML view gets the empty page and the text size.
  void ClearMessageView();
  // The simple search: the first message found is shown.
  void ShowFirstMessage();
  void ShowReadingPage();
  void CopyToClipboardRequested();

 public slots:
  // Loads the store into the message list and lists its channels.
  void ButtonLoadAllFromArxClick();
  void EditFilterChnnelsChange();
  void ListBoxChannelAllDblClick();
  void ListBoxChannelDblClick();
  void ButtonChannelClearClick();
  void ButtonSaveListChannelClick();
  void ButtonSetDirFavoritListChannelClick();
  void EditDirFavoritListChannelChange();
  void FBoxFavoritListChannelClick();
  void CBoxSDataPubChange();
  void ButtonFindAndShowClick();
  void ButtonFoundClick();
  void ButtonAssociationClick();
  void ButtonIntersectionClick();
  void ButtonNotIntersectionClick();
  void ButtonExceptionClick();
  void ButtonShowAllMessClick();
  void ButtonClearAllFoundClick();
  // Exports the accumulator's messages as the options dialog says, then removes them from the
  // store when it says so.
  void ButtonUnloadingSelMesClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowChannels();
  void ShowSelection();
  void Combined();
  void ShowFoundStatus(size_t count);
  // Loads the store (whole, or only what was appended since `from`) on the loader's thread;
  // with `wait`, returns once it is loaded and shown.
  // The store name to load, or none after its error was shown.
  std::optional<std::string> StoreToLoad();
  void StartLoad(const StoreStamp& from, bool wait);
  // Takes a finished load into the lists, once no other long operation is using them.
  void FinishLoad(int generation, const std::string& store, std::shared_ptr<LoadedStore> result,
                  bool wait);
  void TakeWholeStore(LoadedStore& loaded);
  void TakeAppended(LoadedStore& loaded);
  // Typing into a query field turns the filter on.
  void QueryEdited(const QString& text);

  Ui::SearchPage ui;
  AppState& state_;
  StatusLine* status_ = nullptr;
  QFileDialog* groupDialog_ = nullptr;
  std::function<std::string()> storeName_;
  TFormUSelMes* exportOptions_ = nullptr;
  TFormAlertExFile* existsPrompt_ = nullptr;
  std::function<int()> nameLength_;
  std::vector<std::string> allShown_;  // lines of ListBoxChannelAll
  std::vector<std::string> selected_;  // lines of ListBoxChannel
  bool exporting_ = false;             // the store is not loaded again meanwhile
  BackgroundWork* loader_ = nullptr;
  int loadGeneration_ = 0;       // a finished load is taken only if no newer one started
  std::string loadedStore_;      // the store the message list holds, empty before a load
  bool refreshPending_ = false;  // a run stored messages while a load was in progress
};

}  // namespace vorlin
