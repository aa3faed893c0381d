// The downloads page: the download list grid, its editor and the download buttons.
#pragma once

#include <QWidget>

#include "app/app_state.h"
#include "ui_downloads_page.h"

namespace vorlin {

class DownloadsPage : public QWidget {
  Q_OBJECT

 public:
  explicit DownloadsPage(AppState& state, QWidget* parent = nullptr);

 private:
  Ui::DownloadsPage ui;
  AppState& state_;
};

}  // namespace vorlin
