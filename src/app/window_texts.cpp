#include "app/window_texts.h"

#include <QRegularExpression>

namespace vorlin {

namespace {

bool HasCyrillic(const QString& text) {
  for (QChar c : text) {
    if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF) return true;
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

// Russian status texts of the core and their English; %1, %2 stand for the captured parts.
struct StatusPhrase {
  const char* pattern;
  const char* shown;
};

const StatusPhrase kStatus[] = {
    {"^Подготовка к загрузке, чтение из файла (.*)$",
     "Подготовка к загрузке, чтение из файла (Preparing to load, reading the file) %1"},
    {"^ Load from Stream in MS parser \\.\\.\\.$", "Разбор хранилища... (Parsing the store...)"},
    {"^Загружено сообщений (\\d+)$", "Загружено сообщений %1 (Messages loaded: %1)"},
    {"^Поиск каналов \\.\\.\\. $", "Поиск каналов ... (Looking for channels ...)"},
    {"^Поиск каналов, найдено (\\d+)$", "Поиск каналов, найдено %1 (Channels found: %1)"},
    {"^Всего сообщений (\\d+), каналов (\\d+)$",
     "Всего сообщений %1, каналов %2 (Messages %1, channels %2)"},
    {"^Обработано (\\d+)% Обработка файла (.*)$", "Обработано %1% (Processed %1%), файл (file) %2"},
    {"^Scan =(\\d+)  (.*)$", "Найдено файлов (Files found) %1: %2"},
    {"^dir (.*)$", "Папка (Folder) %1"},
};

}  // namespace

QString BilingualError(const QString& message) {
  if (HasCyrillic(message)) return message;
  QString russian = QStringLiteral("Операция не выполнена");
  for (const ErrorPhrase& phrase : kErrors) {
    const QString english = QString::fromLatin1(phrase.english);
    if (!message.startsWith(english)) continue;
    russian = QString::fromUtf8(phrase.russian);
    if (english.endsWith(QLatin1Char(' '))) {
      QString subject = message.mid(english.size());
      subject = subject.left(subject.indexOf(QStringLiteral(": ")));
      subject.remove(QRegularExpression(QStringLiteral(" is busy.*$")));
      russian += subject;
    }
    break;
  }
  return russian + QStringLiteral(".\n(") + message + QLatin1Char(')');
}

QString BilingualStatus(const QString& text) {
  static const auto table = [] {
    std::vector<std::pair<QRegularExpression, QString>> t;
    for (const StatusPhrase& p : kStatus) {
      t.emplace_back(QRegularExpression(QString::fromUtf8(p.pattern)), QString::fromUtf8(p.shown));
    }
    return t;
  }();
  for (const auto& [pattern, shown] : table) {
    QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch()) continue;
    QString result = shown;
    for (int i = 1; i <= pattern.captureCount(); ++i) {
      result.replace(QStringLiteral("%") + QString::number(i), m.captured(i));
    }
    return result;
  }
  return text;
}

}  // namespace vorlin
