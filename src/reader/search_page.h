// The search page of the reading part: loading the store, channel lists and favourite groups,
// search fields, the two searches and the accumulator.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "reader/message_filter.h"
#include "ui_search_page.h"

class QDateTime;
class QFileDialog;

namespace vorlin {

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

 signals:
  // The store was loaded again: every message number held elsewhere is void.
  void StoreLoaded();
  // List `numbers` with channel-prefixed lines (sorted results) or bare titles.
  void ListMessages(const std::vector<int>& numbers, bool channelPrefixed);
  // The simple search: the HTML view gets the empty page and the text size.
  void ClearMessageView();
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
};

}  // namespace vorlin
