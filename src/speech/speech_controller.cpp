#include "speech/speech_controller.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

#include "app/html_view.h"
#include "app/status_line.h"
#include "reader/reading_page.h"
#include "speech/qt_audio_player.h"
#include "speech/running_text_window.h"
#include "speech/speech_page.h"
#include "util/cp1251.h"

namespace vorlin {

namespace {

// Single-line fields show a line break as a blank, which keeps every position.
QString OneLine(QString text) {
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

// Brings forward every tab page that holds the widget, so that the highlight page is seen
// whichever page the window showed when reading began.
void ShowPagesOf(QWidget* widget) {
  for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    QWidget* stack = w->parentWidget();
    auto* tabs = stack != nullptr ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs != nullptr && tabs->indexOf(w) >= 0) tabs->setCurrentWidget(w);
  }
}

}  // namespace

template <typename T>
T* SpeechController::Find(const char* name) const {
  return window_->findChild<T*>(QString::fromLatin1(name));
}

SpeechController::SpeechController(AppState& state, QWidget* window, ReadingPage& reading,
                                   SpeechPage& page, TFormRssStr& strip, StatusLine* status)
    : QObject(window),
      state_(state),
      window_(window),
      reading_(reading),
      page_(page),
      strip_(strip),
      status_(status) {
  ReplaceEngine(std::make_unique<SpeechEngine>(OpenSpeechOutput(SpeechEngine::SampleRate())));
  state_.speechStopRequest = true;
  for (const char* name : {"ButtonSpeech", "ToolButtonSpeech", "ToolButtonASPlay"}) {
    Connect(name, &SpeechController::ButtonSpeechClick);
  }
  for (const char* name : {"ButtonPause", "ToolButtonPause", "ToolButtonASPause"}) {
    Connect(name, &SpeechController::ButtonPauseClick);
  }
  for (const char* name : {"ButtonSpeechStop", "ToolButtonSpeechStop", "ToolButtonASStop"}) {
    Connect(name, &SpeechController::ButtonSpeechStopClick);
  }
}

SpeechController::~SpeechController() = default;

void SpeechController::ReplaceEngine(std::unique_ptr<SpeechEngine> engine) {
  loop_ = std::make_unique<ReadingLoop>(
      *engine, ReadingFlags{&state_.speechStopRequest, &state_.speaking, &state_.speechPaused},
      static_cast<ReadingHost&>(*this));
  engine_ = std::move(engine);
}

void SpeechController::Connect(const char* name, void (SpeechController::*slot)()) {
  if (auto* button = Find<QAbstractButton>(name)) {
    connect(button, &QAbstractButton::clicked, this, slot);
  }
}

void SpeechController::ButtonSpeechClick() {
  BusyScope busy(state_);  // a close request waits for the loop to end
  loop_->StartOrResume();
}
void SpeechController::ButtonPauseClick() { loop_->Pause(); }
void SpeechController::ButtonSpeechStopClick() { loop_->Stop(); }

std::string SpeechController::MessageToPlainText() {
  const int n = reading_.SelectedMessage();
  if (n < 0) return {};
  QApplication::setOverrideCursor(Qt::BusyCursor);
  if (status_ != nullptr) status_->SetPanelText(1, QStringLiteral("Загрузка... (Load)"));
  const auto* background = Find<QLineEdit>("EditWBBackground");
  const auto* headline = Find<QCheckBox>("CkBoxAddHeadline");
  const auto i = static_cast<size_t>(n);
  std::string text;
  try {
    // The spoken document is rendered in a view of its own that is never shown: the message
    // view keeps showing the message as the reader shows it, without the closing " . ".
    if (!renderer_) renderer_ = std::make_unique<HtmlView>();
    renderer_->Navigate(QStringLiteral("about:blank"));
    renderer_->LoadDocument(SpokenDocument(
        state_.messages.title[i], state_.messages.description[i],
        headline == nullptr || headline->isChecked(),
        background != nullptr ? Utf8ToCp1251(background->text().toStdString()) : ""));
    renderer_->WaitUntilComplete();
    text = JoinStrayFullStops(renderer_->PlainText());
  } catch (...) {
    QApplication::restoreOverrideCursor();
    if (status_ != nullptr) status_->SetPanelText(1, QStringLiteral("Гуд (complete)"));
    throw;
  }
  QApplication::restoreOverrideCursor();
  if (status_ != nullptr) status_->SetPanelText(1, QStringLiteral("Гуд (complete)"));
  return text;
}

int SpeechController::ItemCount() { return reading_.ListedCount(); }

int SpeechController::SelectedItem() { return reading_.SelectedLine(); }

void SpeechController::SelectAndShow(int item) {
  if (item >= 0) reading_.SelectAndShow(item);
}

SpeechOptions SpeechController::Options() { return page_.FillSpeechOptions(); }

int SpeechController::LanguageMode() { return page_.LanguageMode(); }

QString SpeechController::Shown(const std::string& display) {
  std::vector<int> starts;
  const std::string utf8 = Cp1251RefsToUtf8(display, &starts);
  shownPos_.assign(display.size() + 1, 0);
  int shown = 0;
  size_t at = 0;  // in utf8: one character for each entry of starts
  for (size_t c = 0; c < starts.size(); ++c) {
    const auto end = c + 1 < starts.size() ? static_cast<size_t>(starts[c + 1]) : display.size();
    for (auto b = static_cast<size_t>(starts[c]); b < end; ++b) shownPos_[b] = shown;
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    shown += length == 4 ? 2 : 1;  // beyond 16 bits a character takes two places in a QString
    at += length;
  }
  shownPos_[display.size()] = shown;
  return QString::fromStdString(utf8);
}

void SpeechController::ShowSpokenText(const SpokenText& spoken) {
  WriteSpeechDebugFiles(state_.settingsFolder, spoken);
  shownMode_ = page_.AnimationMode();
  const QString shown = Shown(spoken.display);
  auto* memo = Find<QPlainTextEdit>("MemoAS");
  if (memo != nullptr) memo->setPlainText(shown);
  if (shownMode_ == 1) {
    if (auto* line = Find<QLineEdit>("EditAnStr")) {
      line->show();
      line->setText(OneLine(shown));
      line->setFocus();
    }
  } else if (shownMode_ == 2) {
    if (memo != nullptr) ShowPagesOf(memo);
    auto* headline = Find<QCheckBox>("CBoxPASHeadline");
    if (auto* panel = Find<QWidget>("PanelAnimSpeechHeadline")) {
      panel->setVisible(headline == nullptr || headline->isChecked());
    }
    if (auto* head = Find<QPlainTextEdit>("MemoASHeadline")) head->moveCursor(QTextCursor::Start);
    if (memo != nullptr) memo->setFocus();
    WriteHighlightDebugFile(state_.settingsFolder, spoken.display);
  } else if (shownMode_ == 3) {
    window_->hide();
    strip_.show();
    if (auto* memoMess = Find<QPlainTextEdit>("MemoMess")) {
      strip_.ui.EditStr->setFont(memoMess->font());
      strip_.ui.EditStr->setPalette(memoMess->palette());
    }
    strip_.ui.EditStr->setText(OneLine(shown));
    strip_.ui.EditStr->setFocus();
  }
}

void SpeechController::Highlight(DisplaySpan raw) {
  const int last = static_cast<int>(shownPos_.size()) - 1;
  if (last < 0) return;
  const int from = shownPos_[static_cast<size_t>(std::clamp(raw.start, 0, last))];
  const int to = shownPos_[static_cast<size_t>(std::clamp(raw.start + raw.length, 0, last))];
  const DisplaySpan span{from, to - from};
  if (shownMode_ == 1) {
    if (auto* line = Find<QLineEdit>("EditAnStr")) line->setSelection(span.start, span.length);
  } else if (shownMode_ == 2) {
    if (auto* memo = Find<QPlainTextEdit>("MemoAS")) {
      QTextCursor cursor = memo->textCursor();
      cursor.setPosition(span.start);
      cursor.setPosition(span.start + span.length, QTextCursor::KeepAnchor);
      memo->setTextCursor(cursor);
      memo->ensureCursorVisible();
    }
  } else if (shownMode_ == 3) {
    strip_.ui.EditStr->setSelection(span.start, span.length);
  }
}

bool SpeechController::MarkReadWanted() {
  auto* box = Find<QCheckBox>("CkBoxMarkReadMes");
  return box == nullptr || box->isChecked();
}

void SpeechController::MarkCurrentRead() {
  if (reading_.SelectedMessage() < 0) return;
  reading_.MarkShownRead();
  window_->repaint();
}

void SpeechController::ProcessEvents() { QApplication::processEvents(); }

ReadingHost::WindowRequests SpeechController::TakeWindowRequests() {
  WindowRequests r;
  if (shownMode_ != 3) return r;
  r.play = std::exchange(strip_.playRequest, false);
  r.pause = std::exchange(strip_.pauseRequest, false);
  r.stop = std::exchange(strip_.stopRequest, false);
  return r;
}

void SpeechController::ClearWindowStop() { strip_.stopRequest = false; }

void SpeechController::FocusDisplay() {
  if (shownMode_ == 1) {
    if (auto* line = Find<QLineEdit>("EditAnStr")) line->setFocus();
  } else if (shownMode_ == 2) {
    if (auto* memo = Find<QPlainTextEdit>("MemoAS")) {
      ShowPagesOf(memo);
      memo->setFocus();
    }
  } else if (shownMode_ == 3) {
    strip_.ui.EditStr->setFocus();
  }
}

void SpeechController::ReadingEnded() {
  if (auto* line = Find<QLineEdit>("EditAnStr")) line->hide();
  strip_.hide();
  window_->show();
}

void SpeechController::SpeechSilent() {
  if (status_ != nullptr) {
    status_->SetPanelText(2, QStringLiteral("Нет звукового устройства: чтение идёт без звука "
                                            "(No sound device: reading goes on silently)"));
  }
}

}  // namespace vorlin
