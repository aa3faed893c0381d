// The downloads page: the download list grid, its editor and the download buttons.
#pragma once

#include <QWidget>

#include "shell/app_state.h"
#include "ui_downloads_page.h"

namespace vorlin {

class DownloadsPage : public QWidget {
  Q_OBJECT

 public:
  explicit DownloadsPage(AppState& state, QWidget* parent = nullptr);

  // The page's controls, each named as documented.
  Ui::DownloadsPage ui;

 protected:
  AppState& state_;
};

}  // namespace vorlin
