// The page that shows found messages: message list, view options, text, HTML and speech views.
#pragma once

#include <QColor>
#include <QWidget>

#include "app/app_state.h"
#include "ui_reading_page.h"

namespace vorlin {

class ReadingPage : public QWidget {
  Q_OBJECT

 public:
  explicit ReadingPage(AppState& state, QWidget* parent = nullptr);

  // Empties the header fields of the shown message.
  void ClearHeaderFields();
  // The background colour of the text view, where the colour dialog starts.
  QColor TextBackground() const;

 private:
  void ShowOptionPagesInRows();

  Ui::ReadingPage ui;
  AppState& state_;
};

}  // namespace vorlin
