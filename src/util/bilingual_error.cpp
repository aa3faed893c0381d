#include "util/bilingual_error.h"

namespace vorlin {
namespace {

// Whether UTF-8 text holds a Cyrillic letter (U+0400 to U+04FF: lead bytes 0xD0 to 0xD3).
bool HasCyrillic(std::string_view text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if (lead >= 0xD0 && lead <= 0xD3 && (next & 0xC0) == 0x80) return true;
  }
  return false;
}

// The beginning of an English error and its Russian; a beginning that ends in a blank is
// followed by what failed (a file name) up to ": ", which the Russian repeats.
struct ErrorPhrase {
  const char* english;
  const char* russian;
};

constexpr ErrorPhrase kErrors[] = {
    {"Cannot open store ", "Не удаётся открыть хранилище "},
    {"Cannot read store ", "Не удаётся прочитать хранилище "},
    {"Cannot load store ", "Хранилище повреждено, его не удаётся загрузить: "},
    {"Cannot write store ", "Не удаётся записать хранилище "},
    {"Cannot lock store ", "Не удаётся заблокировать хранилище "},
    {"Cannot cut back store ", "Не удаётся восстановить хранилище "},
    {"Cannot remove messages from the store ", "Сообщения не удалены из хранилища "},
    {"Store ", "Хранилище занято другой программой: "},
    {"Cannot choose the store ", "Не удаётся выбрать хранилище "},
    {"Cannot run", "Сбор новостей не запущен"},
    {"Cannot open file ", "Не удаётся открыть файл "},
    {"Cannot read file ", "Не удаётся прочитать файл "},
    {"Cannot write file ", "Не удаётся записать файл "},
    {"Cannot create file ", "Не удаётся создать файл "},
    {"Cannot create the settings folder ", "Не удаётся создать папку настроек "},
    {"Cannot create a temporary folder in ", "Не удаётся создать временную папку в "},
    {"Cannot open ", "Не удаётся открыть "},
    {"Cannot read ", "Не удаётся прочитать "},
    {"Cannot write ", "Не удаётся записать "},
    {"cannot create ", "Не удаётся создать "},
    {"cannot write ", "Не удаётся записать "},
    {"Cannot start downloading", "Загрузка не начата: уже идёт загрузка или работает таймер"},
    {"Cannot download one file", "Файл не загружен: уже идёт загрузка или работает таймер"},
    {"Cannot download ", "Не удаётся загрузить "},
    {"No download folder", "Не выбрана папка для загружаемых файлов"},
    {"Cannot export", "Выгрузка сообщений не выполнена"},
    {"Cannot parse feed ", "Не удаётся разобрать ленту "},
    {"The scan period", "Интервал между сканированиями должен быть целым числом минут"},
    {"espeak-ng", "Синтез речи недоступен"},
    {"No installed voice", "Нет установленного голоса с такими свойствами"},
    {"Cannot create the XML parser", "Не удаётся запустить разбор XML"},
};

}  // namespace

std::string BilingualErrorText(std::string_view message, bool oneLine) {
  if (HasCyrillic(message)) return std::string(message);
  std::string russian = "Операция не выполнена";
  for (const ErrorPhrase& phrase : kErrors) {
    const std::string_view english = phrase.english;
    if (message.substr(0, english.size()) != english) continue;
    russian = phrase.russian;
    if (english.back() == ' ') {
      std::string_view subject = message.substr(english.size());
      subject = subject.substr(0, subject.find(": "));
      subject = subject.substr(0, subject.find(" is busy"));
      russian += subject;
    }
    break;
  }
  return russian + (oneLine ? ". (" : ".\n(") + std::string(message) + ")";
}

}  // namespace vorlin
