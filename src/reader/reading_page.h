// The page that shows found messages: message list, view options, text, HTML and speech views,
// the tool bar with navigation, history and read status.
#pragma once

#include <QColor>
#include <QWidget>
#include <vector>

#include "app/app_state.h"
#include "reader/history.h"
#include "reader/read_marks.h"
#include "ui_reading_page.h"

class QColorDialog;
class QFileDialog;
class QFontDialog;
class QTimer;

namespace vorlin {

class MessageListModel;
class StatusLine;

class ReadingPage : public QWidget {
  Q_OBJECT

 public:
  explicit ReadingPage(AppState& state, QWidget* parent = nullptr);

  // Hands the page the window's status line, the read-mark timer and the common dialogs.
  void Attach(StatusLine& status, QTimer& timerReadMes, QFileDialog& pictureDialog,
              QFontDialog& fontDialog, QColorDialog& colorDialog);

  // Empties the header fields of the shown message.
  void ClearHeaderFields();
  // The number of characters of channel and message titles in exported file names.
  int NameLength() const;
  // The background colour of the text view, where the colour dialog starts.
  QColor TextBackground() const;

  // Lists the messages with channel-prefixed lines and empties the history. The views keep
  // the message shown only while the new list holds it (its line is then selected).
  void FillMessageList(std::vector<int> numbers);
  // Lists the messages by their bare titles (the extended search), with the same rule.
  void ShowBareTitles(std::vector<int> numbers);
  // Selects the first line and shows its message (after "Найти и показать").
  void ShowFirstMessage();
  // Empties the text, HTML and speech views and the header fields: no message is shown.
  void ClearViews();
  // Puts the empty page into the HTML view and applies the chosen text size.
  void ShowEmptyPage();
  // After the store was loaded again: the list, the history and the current message are
  // forgotten, since message numbers may now name other messages.
  void ResetAfterLoad();
  int ListedCount() const;
  // For reading aloud: the selected line (-1: none) and its message number (-1: none);
  // selecting a line and showing its message as a click does; marking the shown message read;
  // the plain text of a document as the HTML view renders it (the view keeps showing it).
  int SelectedLine() const;
  int SelectedMessage() const;
  void SelectAndShow(int row);
  void MarkShownRead();
  std::string RenderedText(const std::string& html);
  // Copies every listed message to the clipboard as rendered plain text.
  void CopyListToClipboard();

 public slots:
  void ListBoxTitleClick();
  void ShowCurrentMessage();
  void ApplyHtmlTextSize();
  void CheckBoxWBBClick();
  void ButtonGetWBBackgroundClick();
  void ToolButtonStopClick();
  void ToolButtonRefreshClick();
  void ToolButtonPrevClick();
  void ToolButtonNextClick();
  void ToolButtonUpClick();
  void ToolButtonDownClick();
  void ToolButtonRadMesClick();
  void ToolButtonClearHistClick();
  void CBoxHistoryListChange(int index);
  void TimerReadMesTimer();
  void LabelLinkDblClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowOptionPagesInList();
  void LoadHtmlText(const std::string& html);
  void OpenHistoryEntry();
  void RecordHistory();
  void ShowHistory();
  void SelectLine(int row);
  void ShowReadStatus();
  void ConnectFontAndColourButtons();
  // After the list was filled: selects the shown message's line, or clears the views.
  void FollowList();
  // The selection moved by keyboard: show that message as a click does.
  void CurrentLineChanged(const QModelIndex& current);

  Ui::ReadingPage ui;
  AppState& state_;
  MessageListModel* model_ = nullptr;
  History history_;
  ReadMarks readMarks_;
  StatusLine* status_ = nullptr;
  QTimer* timerReadMes_ = nullptr;
  QFileDialog* pictureDialog_ = nullptr;
  QFontDialog* fontDialog_ = nullptr;
  QColorDialog* colorDialog_ = nullptr;
  int shown_ = -1;          // the message number in the views, -1 when none
  bool selecting_ = false;  // the code itself moves the selection
};

}  // namespace vorlin
