// The about and help page: the about panel (logo, purpose, credit line) above the built-in
// manual.
#pragma once

#include <QWidget>

#include "app/app_state.h"
#include "ui_about_page.h"

namespace vorlin {

class AboutPage : public QWidget {
  Q_OBJECT

 public:
  explicit AboutPage(AppState& state, QWidget* parent = nullptr);

  // Shows the manual from its top in WBHelp.
  void ShowManual();

 public slots:
  // There is no product web page to open, so the credit line leads to the manual.
  void LabelAuthorClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Ui::AboutPage ui;
  AppState& state_;
};

}  // namespace vorlin
