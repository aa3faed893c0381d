#include "app/window_texts.h"

#include <QRegularExpression>

#include "util/bilingual_error.h"

namespace vorlin {

namespace {

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
  return QString::fromStdString(BilingualErrorText(message.toStdString()));
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
