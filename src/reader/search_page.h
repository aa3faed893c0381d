// The search page of the reading part: loading the store, channel lists, search fields.
#pragma once

#include <QWidget>
#include <string>

#include "shell/app_state.h"
#include "ui_search_page.h"

namespace vorlin {

class SearchPage : public QWidget {
  Q_OBJECT

 public:
  explicit SearchPage(AppState& state, QWidget* parent = nullptr);

  // The page's controls, each named as documented.
  Ui::SearchPage ui;

  // Lists the favourite group files ("*.myRSS") of `folder` (Windows-1251) in
  // FBoxFavoritListChannel.
  void ShowFavoriteFolder(const std::string& folder);

 protected:
  AppState& state_;
};

}  // namespace vorlin
