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
}

void TFormRssStr::mousePressEvent(QMouseEvent* event) {
  dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TFormRssStr::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - dragOffset_);
}

}  // namespace vorlin
