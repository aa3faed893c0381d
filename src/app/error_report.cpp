#include "app/error_report.h"

#include <QApplication>
#include <QMessageBox>

namespace vorlin {

namespace {

std::function<void(const QString&)>& Sink() {
  static std::function<void(const QString&)> sink;
  return sink;
}

}  // namespace

void ReportError(const QString& message) {
  if (Sink()) {
    Sink()(message);
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Vorlin"), message);
}

void SetErrorSink(std::function<void(const QString&)> sink) { Sink() = std::move(sink); }

}  // namespace vorlin
