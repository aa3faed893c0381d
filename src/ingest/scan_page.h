// The scan page: ingestion controls, settings of a run, scan folders and the log pane.
#pragma once

#include <QWidget>

#include "shell/app_state.h"
#include "ui_scan_page.h"

namespace vorlin {

class ScanPage : public QWidget {
  Q_OBJECT

 public:
  explicit ScanPage(AppState& state, QWidget* parent = nullptr);

  // The page's controls, each named as documented.
  Ui::ScanPage ui;

 protected:
  AppState& state_;
};

}  // namespace vorlin
