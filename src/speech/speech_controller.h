// Reading aloud in the window: owns the speech engine and the reading loop, serves every
// start, pause and stop button of the reading page, the highlight page and the running-text
// window, and shows the spoken word in the display of the animation mode.
//
// The message list, the shown message and its read mark go through the reading page's
// methods; the displays and option boxes are reached by their documented object names.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "speech/reading_loop.h"

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QWidget;

namespace vorlin {

class HtmlView;
class ReadingPage;
class SpeechPage;
class StatusLine;
class TFormRssStr;

class SpeechController : public QObject, private ReadingHost {
  Q_OBJECT

 public:
  // `window` holds the reading page's controls and the running line `EditAnStr`.
  SpeechController(AppState& state, QWidget* window, ReadingPage& reading, SpeechPage& page,
                   TFormRssStr& strip, StatusLine* status);
  ~SpeechController() override;

  SpeechEngine& Engine() { return *engine_; }
  // Speaks through another engine from now on (tests give one with a silent player).
  void ReplaceEngine(std::unique_ptr<SpeechEngine> engine);
  ReadingLoop& Loop() { return *loop_; }

  // The plain text of the selected message as spoken and shown; empty when none is selected.
  std::string MessageToPlainText();

 public slots:
  void ButtonSpeechClick();  // every Start control
  void ButtonPauseClick();   // every Pause control
  void ButtonSpeechStopClick();

 private:
  int ItemCount() override;
  int SelectedItem() override;
  void SelectAndShow(int item) override;
  std::string MessageText() override { return MessageToPlainText(); }
  SpeechOptions Options() override;
  int LanguageMode() override;
  void ShowSpokenText(const SpokenText& spoken) override;
  void Highlight(DisplaySpan span) override;
  bool MarkReadWanted() override;
  // Adds the shown message's read key to the read index and shows it as read.
  void MarkCurrentRead() override;
  void ProcessEvents() override;
  WindowRequests TakeWindowRequests() override;
  void ClearWindowStop() override;
  void FocusDisplay() override;
  void ReadingEnded() override;
  void SpeechSilent() override;
  void Connect(const char* name, void (SpeechController::*slot)());
  template <typename T>
  T* Find(const char* name) const;

  AppState& state_;
  QWidget* window_;
  ReadingPage& reading_;
  SpeechPage& page_;
  TFormRssStr& strip_;
  StatusLine* status_;
  std::unique_ptr<SpeechEngine> engine_;
  std::unique_ptr<ReadingLoop> loop_;
  std::unique_ptr<HtmlView> renderer_;  // renders the spoken documents, never shown
  int shownMode_ = 0;
  // Where each position of the spoken display text lands in the text shown, in which a
  // character kept as a reference ("&#233;") is one character again.
  std::vector<int> shownPos_;
  QString Shown(const std::string& display);
};

}  // namespace vorlin
