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

  // Set by the play, pause and stop buttons; the reading loop takes and clears them.
  bool playRequest = false;
  bool pauseRequest = false;
  bool stopRequest = false;

 protected:
  // Without a title bar the strip is moved by dragging anywhere in it with the left button:
  // on its margins and on the text field alike.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Both return whether the event was a left-button drag step that they handled.
  bool StartDrag(QMouseEvent* event);
  bool Drag(QMouseEvent* event);

  QPoint dragOffset_;
  bool dragging_ = false;
};

}  // namespace vorlin
