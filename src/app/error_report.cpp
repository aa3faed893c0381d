#include "app/error_report.h"

#include <QApplication>
#include <QMessageBox>

#include "app/window_texts.h"

namespace vorlin {

namespace {

std::function<void(const QString&)>& Sink() {
  static std::function<void(const QString&)> sink;
  return sink;
}

}  // namespace

void ReportError(const QString& message) {
  const QString shown = BilingualError(message);
  if (Sink()) {
    Sink()(shown);
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Vorlin: ошибка (error)"),
                        shown);
}

void SetErrorSink(std::function<void(const QString&)> sink) { Sink() = std::move(sink); }

}  // namespace vorlin
