// The search page of the reading part: loading the store, channel lists, search fields.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "app/app_state.h"
#include "ui_search_page.h"

class QDateTime;

namespace vorlin {

class StatusLine;

class SearchPage : public QWidget {
  Q_OBJECT

 public:
  explicit SearchPage(AppState& state, QWidget* parent = nullptr);

  // Hands the page the window's status line and the source of the current store name (which
  // also brings the indexes in step with it), and connects the load button.
  void Attach(StatusLine& status, std::function<std::string()> storeName);

  // Fills EditDirFavoritListChannel with `programFolder` when it is empty, and lists the
  // favourite group files ("*.myRSS") of that folder in FBoxFavoritListChannel.
  void ShowFavoriteFolder(const std::string& programFolder);
  void SetDatePickers(const QDateTime& dateTime);

 public slots:
  // Loads the store into the message list and lists its channels.
  void ButtonLoadAllFromArxClick();

 private:
  Ui::SearchPage ui;
  AppState& state_;
  StatusLine* status_ = nullptr;
  std::function<std::string()> storeName_;
};

}  // namespace vorlin
