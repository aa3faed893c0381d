#include "shell/about_page.h"

#include <QEvent>
#include <QPixmap>

namespace vorlin {

AboutPage::AboutPage(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  ui.setupUi(this);
  ui.ImageLogo->setPixmap(QPixmap(QStringLiteral(":/logo.jpg")));
  ui.LabelAuthor->installEventFilter(this);
}

void AboutPage::ShowManual() {
  ui.WBHelp->Navigate(QStringLiteral("about:blank"));
  ui.WBHelp->Navigate(HtmlView::HelpAddress());
}

void AboutPage::LabelAuthorClick() { ShowManual(); }

bool AboutPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui.LabelAuthor && event->type() == QEvent::MouseButtonRelease) {
    LabelAuthorClick();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vorlin
