// Text dropped from other applications: a window whose drop fields take the dropped text whole,
// while the rest of the window accepts the drag and leaves everything unchanged.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

class QMimeData;
class QWidget;

namespace vorlin {

// The plain text of a drag, else its URL list one per line; nullopt when it carries neither.
std::optional<QString> DroppedText(const QMimeData* data);

class TextDropTarget : public QObject {
 public:
  // Registers `window` and every control in it that would take drops by itself. A drop on one
  // of `fields` (line edits or plain-text boxes) replaces its text; a line edit gets the text
  // on one line. Removed with the window.
  TextDropTarget(QWidget* window, const QList<QWidget*>& fields);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* FieldOf(QObject* watched) const;

  QList<QWidget*> fields_;
};

}  // namespace vorlin
