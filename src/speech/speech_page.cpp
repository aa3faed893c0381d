#include "speech/speech_page.h"

#include <QApplication>

#include "speech/speech_engine.h"
#include "util/cp1251.h"

namespace vorlin {

namespace {

const char* const kSpeechHelp =
    "Программа читает сообщения вслух голосами, установленными в системе. В двуязычном режиме "
    "русский и английский текст одного сообщения читаются каждый своим голосом; теги голосов, "
    "громкость, скорость и высоту каждого языка задают поля выше. Кнопка проверки произносит "
    "пробный текст выбранным голосом, а кнопки \"Применить\" переносят его в настройки языка. "
    "(The program reads messages aloud with the voices installed on the system; in the "
    "bilingual mode each language gets its own voice.)";

std::string Core(const QString& text) { return Utf8ToCp1251(text.toStdString()); }
QString Ui(const std::string& text) { return QString::fromStdString(Cp1251ToUtf8(text)); }

int CheckedItem(std::initializer_list<const QRadioButton*> items) {
  int index = 0;
  for (const QRadioButton* item : items) {
    if (item->isChecked()) return index;
    ++index;
  }
  return 0;
}

}  // namespace

SpeechPage::SpeechPage(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  ui.setupUi(this);
  ui.MemoSpeechHelp->setPlainText(QString::fromUtf8(kSpeechHelp));
  connect(ui.CBVoices, &QComboBox::currentIndexChanged, this, &SpeechPage::CBVoicesChange);
  connect(ui.TrackBarRate, &QSlider::valueChanged, this, &SpeechPage::TrackBarRateChange);
  connect(ui.TrackBarVolume, &QSlider::valueChanged, this, &SpeechPage::TrackBarVolumeChange);
  connect(ui.TrackBarPitch, &QSlider::valueChanged, this, &SpeechPage::TrackBarPitchChange);
  connect(ui.SpeedButtonSayTestText, &QToolButton::clicked, this,
          &SpeechPage::SpeedButtonSayTestTextClick);
  connect(ui.ButtonUseRVoice, &QPushButton::clicked, this, &SpeechPage::ButtonUseRVoiceClick);
  connect(ui.ButtonUseEVoice, &QPushButton::clicked, this, &SpeechPage::ButtonUseEVoiceClick);
}

void SpeechPage::FillVoiceList(SpeechEngine& engine) {
  engine_ = &engine;
  engine.SetEventInterests(0x83FE);
  const QSignalBlocker block(ui.CBVoices);
  ui.CBVoices->clear();
  for (const VoiceToken& voice : engine.GetVoices()) {
    ui.CBVoices->addItem(Ui(voice.GetDescription()));
  }
  if (ui.CBVoices->count() > 0) {
    ui.CBVoices->setCurrentIndex(0);
    CBVoicesChange(0);
  }
  ui.TrackBarRate->setValue(engine.Rate());
  ui.TrackBarVolume->setValue(engine.Volume());
  ui.TrackBarPitch->setValue(0);
}

void SpeechPage::CBVoicesChange(int index) {
  if (engine_ == nullptr || index < 0) return;
  engine_->SetVoice(index);
  const VoiceToken& voice = engine_->GetVoices()[static_cast<size_t>(index)];
  ui.LabelNameVoice->setText(Ui(voice.GetAttribute("Name")));
  ui.TrackBarRate->setValue(engine_->Rate());
  ui.TrackBarVolume->setValue(engine_->Volume());
  ui.TrackBarPitch->setValue(0);
  ui.LRate->setNum(ui.TrackBarRate->value());
  ui.LVolume->setNum(ui.TrackBarVolume->value());
  ui.LPitch->setNum(0);
  const std::string language = voice.GetAttribute("Language").substr(0, 3);
  if (language == "409") {
    ui.EditTestText->setText(QStringLiteral("This program read the news on RSS feed."));
  } else if (language == "419") {
    ui.EditTestText->setText(QStringLiteral("Эта программа умеет читать новостные ленты."));
  }
}

void SpeechPage::TrackBarRateChange(int value) {
  if (engine_ != nullptr) engine_->SetRate(value);
  ui.LRate->setNum(value);
}

void SpeechPage::TrackBarVolumeChange(int value) {
  if (engine_ != nullptr) engine_->SetVolume(value);
  ui.LVolume->setNum(value);
}

void SpeechPage::TrackBarPitchChange(int value) { ui.LPitch->setNum(value); }

void SpeechPage::SpeedButtonSayTestTextClick() {
  if (engine_ == nullptr) return;
  const int pitch = ui.TrackBarPitch->value();
  const std::string text = Core(ui.EditTestText->text());
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    if (pitch != 0) {
      engine_->Speak("<pitch absmiddle=\"" + std::to_string(pitch) + "\"/>" + text, 8);
    } else {
      engine_->Speak(text, 0);
    }
  } catch (...) {
    QApplication::restoreOverrideCursor();
    throw;
  }
  QApplication::restoreOverrideCursor();
}

void SpeechPage::ButtonUseRVoiceClick() {
  ui.EditTagVoiceRus->setText("<voice required=\"Name=" + ui.LabelNameVoice->text() + "\">");
  ui.SEditVolumeR->setValue(ui.TrackBarVolume->value());
  ui.SEditRateR->setValue(ui.TrackBarRate->value());
  ui.SEditPitchR->setValue(ui.TrackBarPitch->value());
}

void SpeechPage::ButtonUseEVoiceClick() {
  ui.EditTagVoiceEng->setText("<voice required=\"Name=" + ui.LabelNameVoice->text() + "\">");
  ui.SEditVolumeE->setValue(ui.TrackBarVolume->value());
  ui.SEditRateE->setValue(ui.TrackBarRate->value());
  ui.SEditPitchE->setValue(ui.TrackBarPitch->value());
}

SpeechOptions SpeechPage::FillSpeechOptions() const {
  SpeechOptions o;
  o.digitLanguage = ui.RGDigitSay_0->isChecked() ? 'R' : 'E';
  o.voiceTagRus = Core(ui.EditTagVoiceRus->text().trimmed().left(255));
  o.voiceTagEng = Core(ui.EditTagVoiceEng->text().trimmed().left(255));
  o.volumeR = ui.SEditVolumeR->value(), o.rateR = ui.SEditRateR->value();
  o.pitchR = ui.SEditPitchR->value();
  o.volumeE = ui.SEditVolumeE->value(), o.rateE = ui.SEditRateE->value();
  o.pitchE = ui.SEditPitchE->value();
  o.pause = ui.CkBoxUsePause->isChecked() ? ui.SpinEditPauseEndText->value() : 0;
  return o;
}

int SpeechPage::LanguageMode() const {
  return CheckedItem(
      {ui.RGroupLanguages_0, ui.RGroupLanguages_1, ui.RGroupLanguages_2, ui.RGroupLanguages_3});
}

int SpeechPage::AnimationMode() const {
  return CheckedItem(
      {ui.RGroupAnimSpeech_0, ui.RGroupAnimSpeech_1, ui.RGroupAnimSpeech_2, ui.RGroupAnimSpeech_3});
}

}  // namespace vorlin
