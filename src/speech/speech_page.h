// The speech settings page: language mode, voices, pause, numerals and animation mode.
#pragma once

#include <QWidget>

#include "app/app_state.h"
#include "ui_speech_page.h"

namespace vorlin {

class SpeechPage : public QWidget {
  Q_OBJECT

 public:
  explicit SpeechPage(AppState& state, QWidget* parent = nullptr);

 private:
  Ui::SpeechPage ui;
  AppState& state_;
};

}  // namespace vorlin
