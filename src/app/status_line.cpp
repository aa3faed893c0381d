#include "app/status_line.h"

#include <QCoreApplication>
#include <QLabel>

#include "app/control_state.h"
#include "app/window_texts.h"

namespace vorlin {

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent) {
  setObjectName(QStringLiteral("StatusBar"));
  setSizeGripEnabled(false);
  const int widths[3] = {60, 150, 50};
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panels_[i]->setFrameShape(QFrame::Panel);
    panels_[i]->setFrameShadow(QFrame::Sunken);
    panels_[i]->setMinimumWidth(widths[i]);
    if (i < 2) panels_[i]->setFixedWidth(widths[i]);
    // The last panel takes the rest of the line.
    addWidget(panels_[i], i == 2 ? 1 : 0);
  }
}

void StatusLine::SetPanelText(int panel, const QString& text) {
  panels_[panel]->setText(panel == 2 ? BilingualStatus(text) : text);
}

void StatusLine::ClearResults() {
  panels_[1]->clear();
  panels_[2]->clear();
}

QString StatusLine::PanelText(int panel) const { return panels_[panel]->text(); }

namespace {
qint64 gRepaintMs = 40;
}  // namespace

void SetProgressRepaintInterval(qint64 ms) { gRepaintMs = ms; }

void StatusProgress::ShowStatusText(const std::string& text) {
  status_.SetPanelText(2, ToQ(text));
  if (sinceRepaint_.isValid() && sinceRepaint_.elapsed() < gRepaintMs) return;
  window_.repaint();
  QCoreApplication::processEvents();
  sinceRepaint_.start();
}

}  // namespace vorlin
