// The page that shows found messages: message list, view options, text, HTML and speech views.
#pragma once

#include <QWidget>

#include "shell/app_state.h"
#include "ui_reading_page.h"

namespace vorlin {

class ReadingPage : public QWidget {
  Q_OBJECT

 public:
  explicit ReadingPage(AppState& state, QWidget* parent = nullptr);

  // The page's controls, each named as documented.
  Ui::ReadingPage ui;

 protected:
  AppState& state_;
};

}  // namespace vorlin
