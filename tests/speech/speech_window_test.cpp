// Reading aloud in the real window: each animation mode shows the message and selects the
// spoken word in its display; the strip window replaces the main window while it reads.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

#include "../shell/window_fixture.h"
#include "app/html_view.h"
#include "app/status_line.h"
#include "reader/reading_page.h"
#include "speech/running_text_window.h"
#include "speech/speech_controller.h"
#include "speech/speech_page.h"
#include "speech_test_support.h"

namespace vorlin::testing {
namespace {

class SpeechWindowTest : public WindowTest {
 protected:
  test::JumpingClock clock_;

  // Two listed messages, the first selected, and an engine that keeps time silently.
  void Prepare() {
    TMain& window = Start();
    window.State().messages.Add({"Канал", W("Новости BBC"), "http://a",
                                 W("Первая строка.<br>"
                                   "Second line здесь"),
                                 "Mon, 01 Jan 2024 10:00:00 +0300"});
    window.State().messages.Add({"Канал", "Two", "http://b", W("<p>Конец</p>"), "Mon, 2024"});
    window.Reading().FillMessageList({0, 1});
    window.Reading().SelectAndShow(0);
    ASSERT_NE(window.SpeechReading(), nullptr);
    window.SpeechReading()->ReplaceEngine(std::make_unique<SpeechEngine>(
        std::make_unique<SilentPlayer>(SpeechEngine::SampleRate(), clock_), clock_));
  }

  // Reads both messages in the mode, noting every highlighted stretch.
  std::vector<QString> Read(int mode, bool& mainHidden) {
    Find<QRadioButton>(("RGroupAnimSpeech_" + std::to_string(mode)).c_str())->setChecked(true);
    SpeechEngine& engine = window_->SpeechReading()->Engine();
    auto inner = engine.onWord;
    std::vector<QString> words;
    mainHidden = false;
    engine.onWord = [&](int position, int length) {
      inner(position, length);
      mainHidden = mainHidden || !window_->isVisible();
      if (mode == 1) words.push_back(Find<QLineEdit>("EditAnStr")->selectedText());
      if (mode == 2) words.push_back(Find<QPlainTextEdit>("MemoAS")->textCursor().selectedText());
      if (mode == 3) words.push_back(window_->FormRssStr().ui.EditStr->selectedText());
    };
    window_->Reading().SelectAndShow(0);
    Find<QPushButton>("ButtonSpeech")->click();
    engine.onWord = inner;
    return words;
  }
};

TEST_F(SpeechWindowTest, EachAnimationModeSelectsTheSpokenWords) {
  Prepare();
  const std::vector<QString> expected = {"Новости", "BBC",   "Первая", "строка", "Second",
                                         "line",    "здесь", "Two",    "Конец"};
  window_->show();
  for (int mode : {1, 2, 3}) {
    bool mainHidden = false;
    EXPECT_EQ(Read(mode, mainHidden), expected) << "mode " << mode;
    EXPECT_EQ(mainHidden, mode == 3);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(window_->FormRssStr().isVisible());
    EXPECT_FALSE(Find<QLineEdit>("EditAnStr")->isVisible());
  }
  EXPECT_EQ(Find<QTabWidget>("PageControlView")->currentIndex(), 2);
  // No line of the views is a lone full stop after reading; the HTML view shows the message.
  for (const QString& text :
       {Find<QPlainTextEdit>("MemoAS")->toPlainText(),
        QString::fromStdString(Cp1251ToUtf8(Find<HtmlView>("WebBrowser")->PlainText()))}) {
    for (const QString& line : text.split(QRegularExpression("[\r\n]+"))) {
      EXPECT_NE(line.trimmed(), ".") << text.toStdString();
    }
  }
  // No sound device: the status line says that reading went on silently.
  EXPECT_TRUE(window_->Status().PanelText(2).contains("(No sound device"));
  EXPECT_TRUE(window_->State().readIndex.Size() == 2);
  EXPECT_TRUE(window_->State().speechStopRequest);
}

TEST_F(SpeechWindowTest, AChosenVoiceIsShownTestedAndAppliedToALanguage) {
  Start();
  auto* voices = Find<QComboBox>("CBVoices");
  const int russian = voices->findText("Russian (ru)");
  ASSERT_GE(russian, 0);
  voices->setCurrentIndex(russian);
  EXPECT_EQ(Find<QLabel>("LabelNameVoice")->text(), "Russian");
  EXPECT_EQ(Find<QLineEdit>("EditTestText")->text(), "Эта программа умеет читать новостные ленты.");
  Find<QSlider>("TrackBarVolume")->setValue(70);
  Find<QSlider>("TrackBarRate")->setValue(-4);
  Find<QSlider>("TrackBarPitch")->setValue(30);
  EXPECT_EQ(window_->SpeechReading()->Engine().Rate(), -4);  // the engine takes it at once
  EXPECT_EQ(Find<QLabel>("LPitch")->text(), "30");
  Find<QPushButton>("ButtonUseEVoice")->click();
  EXPECT_EQ(Find<QLineEdit>("EditTagVoiceEng")->text(), "<voice required=\"Name=Russian\">");
  EXPECT_EQ(Find<QSpinBox>("SEditVolumeE")->value(), 70);
  EXPECT_EQ(Find<QSpinBox>("SEditRateE")->value(), -4);
  EXPECT_EQ(Find<QSpinBox>("SEditPitchE")->value(), 30);
  EXPECT_EQ(Find<QLineEdit>("EditTagVoiceRus")->text(), "<voice required=\"Language=419\">");
  // Each language's rate and pitch reach the options in their places.
  Find<QPushButton>("ButtonUseRVoice")->click();
  const SpeechOptions o = window_->Speech().FillSpeechOptions();
  EXPECT_EQ(std::vector<int>({o.rateR, o.pitchR, o.rateE, o.pitchE}),
            std::vector<int>({-4, 30, -4, 30}));
}

}  // namespace
}  // namespace vorlin::testing
