// The speech settings page: language mode, voices, pause, numerals and animation mode; the
// voice list with its track bars and test line, and the buttons that apply a voice to the
// Russian or English settings.
#pragma once

#include <QWidget>

#include "app/app_state.h"
#include "speech/speech_markup.h"
#include "ui_speech_page.h"

namespace vorlin {

class SpeechEngine;

class SpeechPage : public QWidget {
  Q_OBJECT

 public:
  explicit SpeechPage(AppState& state, QWidget* parent = nullptr);

  // Lists the engine's voices in CBVoices and applies the first (start-up).
  void FillVoiceList(SpeechEngine& engine);
  SpeechOptions FillSpeechOptions() const;
  int LanguageMode() const;   // RGroupLanguages, 0 to 3
  int AnimationMode() const;  // RGroupAnimSpeech, 0 to 3

 public slots:
  void CBVoicesChange(int index);
  void TrackBarRateChange(int value);
  void TrackBarVolumeChange(int value);
  void TrackBarPitchChange(int value);
  void SpeedButtonSayTestTextClick();
  void ButtonUseRVoiceClick();
  void ButtonUseEVoiceClick();

 private:
  Ui::SpeechPage ui;
  AppState& state_;
  SpeechEngine* engine_ = nullptr;
};

}  // namespace vorlin
