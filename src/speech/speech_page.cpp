#include "speech/speech_page.h"

namespace vorlin {

namespace {

const char* const kSpeechHelp =
    "Программа читает сообщения вслух голосами, установленными в системе. В двуязычном режиме "
    "русский и английский текст одного сообщения читаются каждый своим голосом; теги голосов, "
    "громкость, скорость и высоту каждого языка задают поля выше. Кнопка проверки произносит "
    "пробный текст выбранным голосом, а кнопки \"Применить\" переносят его в настройки языка. "
    "(The program reads messages aloud with the voices installed on the system; in the "
    "bilingual mode each language gets its own voice.)";

}  // namespace

SpeechPage::SpeechPage(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  ui.setupUi(this);
  ui.MemoSpeechHelp->setPlainText(QString::fromUtf8(kSpeechHelp));
}

}  // namespace vorlin
