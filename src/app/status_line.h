// The status line of the main window: three panels. The first shows the timer counters, the
// second the stage words of longer operations, the third progress and result messages.
#pragma once

#include <QElapsedTimer>
#include <QStatusBar>
#include <string>

#include "util/progress.h"

class QLabel;

namespace vorlin {

class StatusLine : public QStatusBar {
  Q_OBJECT

 public:
  explicit StatusLine(QWidget* parent = nullptr);

  // `panel` is 0, 1 or 2. The core's texts in the third panel get their other language
  // (BilingualStatus).
  void SetPanelText(int panel, const QString& text);
  QString PanelText(int panel) const;
  // The next action of the user: the result of the last operation (second and third panels)
  // has been read and goes; the timers' counters in the first panel stay.
  void ClearResults();

 private:
  QLabel* panels_[3];
};

// Progress of core operations in the third panel: the window is repainted and pending events
// are processed after every text, so the window stays responsive during the work.
// A load of a million messages shows ten thousand texts: the window is repainted and events
// are processed at most every few hundredths of a second, while the panel always holds the
// latest text.
class StatusProgress final : public Progress {
 public:
  StatusProgress(StatusLine& status, QWidget& window) : status_(status), window_(window) {}
  void ShowStatusText(const std::string& text) override;

 private:
  StatusLine& status_;
  QWidget& window_;
  QElapsedTimer sinceRepaint_;
};

// The least time between two repaints of StatusProgress (40 ms); tests set 0 so that every
// progress text processes events.
void SetProgressRepaintInterval(qint64 ms);

}  // namespace vorlin
