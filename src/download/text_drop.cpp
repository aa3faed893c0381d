#include "download/text_drop.h"

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QUrl>
#include <QWidget>

#include "app/control_state.h"

namespace vorlin {

std::optional<QString> DroppedText(const QMimeData* data) {
  if (data == nullptr) return std::nullopt;
  if (data->hasText() && !data->text().isEmpty()) return data->text();
  if (data->hasUrls()) {
    QStringList lines;
    for (const QUrl& url : data->urls()) lines << url.toString();
    if (!lines.isEmpty()) return lines.join(QLatin1Char('\n'));
  }
  return std::nullopt;
}

TextDropTarget::TextDropTarget(QWidget* window, const QList<QWidget*>& fields)
    : QObject(window), fields_(fields) {
  window->setAcceptDrops(true);
  window->installEventFilter(this);
  // Text controls take drops by themselves (inserting at the pointer); they are watched too,
  // so that only the drop fields change.
  for (QWidget* child : window->findChildren<QWidget*>()) {
    if (child->acceptDrops()) child->installEventFilter(this);
  }
  for (QWidget* field : fields_) {
    field->setAcceptDrops(true);
    field->installEventFilter(this);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(field)) {
      area->viewport()->installEventFilter(this);
    }
  }
}

QWidget* TextDropTarget::FieldOf(QObject* watched) const {
  for (QWidget* field : fields_) {
    if (watched == field) return field;
    auto* area = qobject_cast<QAbstractScrollArea*>(field);
    if (area != nullptr && watched == area->viewport()) return field;
  }
  return nullptr;
}

bool TextDropTarget::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      drag->setDropAction(Qt::CopyAction);
      drag->accept();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      QWidget* field = FieldOf(watched);
      std::optional<QString> text = DroppedText(drop->mimeData());
      if (!text) {
        drop->ignore();
        return true;
      }
      // Through the code page, as typed text would be.
      const QString kept = ToQ(FromQ(*text));
      if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n]+"));
        edit->setText(kept.trimmed().replace(lineBreaks, QStringLiteral(" ")));
      } else if (auto* memo = qobject_cast<QPlainTextEdit*>(field)) {
        memo->setPlainText(kept);
      }
      drop->setDropAction(Qt::CopyAction);
      drop->accept();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace vorlin
