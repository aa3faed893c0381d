#include "speech/running_text_window.h"

#include <QMouseEvent>
#include <QStyle>

namespace vorlin {

TFormRssStr::TFormRssStr(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  ui.setupUi(this);
  ui.ToolButtonPlay->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  ui.ToolButtonPause->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
  ui.ToolButtonStop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  setFixedSize(765, 36);
  // The text field would take the presses for selecting text; the strip takes them instead,
  // since the highlight of the spoken word is the only selection it shows.
  ui.EditStr->installEventFilter(this);
  connect(ui.ToolButtonPlay, &QToolButton::clicked, this, [this] { playRequest = true; });
  connect(ui.ToolButtonPause, &QToolButton::clicked, this, [this] { pauseRequest = true; });
  connect(ui.ToolButtonStop, &QToolButton::clicked, this, [this] { stopRequest = true; });
}

void TFormRssStr::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  raise();
}

bool TFormRssStr::StartDrag(QMouseEvent* event) {
  dragging_ = event->button() == Qt::LeftButton;
  if (dragging_) dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
  return dragging_;
}

bool TFormRssStr::Drag(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return false;
  move(event->globalPosition().toPoint() - dragOffset_);
  return true;
}

void TFormRssStr::mousePressEvent(QMouseEvent* event) { StartDrag(event); }

void TFormRssStr::mouseMoveEvent(QMouseEvent* event) { Drag(event); }

bool TFormRssStr::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui.EditStr) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
        return StartDrag(static_cast<QMouseEvent*>(event));
      case QEvent::MouseMove:
        return Drag(static_cast<QMouseEvent*>(event));
      case QEvent::MouseButtonDblClick:
        // A double click would select a word and hide the highlight of the spoken one.
        return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vorlin
