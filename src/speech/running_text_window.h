// The running-text window: a borderless always-on-top strip that shows the spoken text with
// the current word selected, with play, pause and stop buttons.
#pragma once

#include <QPoint>
#include <QWidget>

#include "ui_running_text_window.h"

namespace vorlin {

class TFormRssStr : public QWidget {
  Q_OBJECT

 public:
  explicit TFormRssStr(QWidget* parent = nullptr);

  Ui::FormRssStr ui;

 protected:
  // Without a title bar the strip is moved by dragging anywhere in it.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QPoint dragOffset_;
};

}  // namespace vorlin
