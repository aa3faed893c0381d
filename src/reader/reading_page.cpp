#include "reader/reading_page.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QStyle>
#include <QTabBar>

#include "app/control_state.h"
#include "app/font_value.h"

namespace vorlin {

ReadingPage::ReadingPage(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  ui.setupUi(this);
  // No size chosen yet: the drop-down shows the normal size as its placeholder.
  ui.ComboBoxWBFont->setPlaceholderText(QStringLiteral("+0 Средний"));
  ui.ComboBoxWBFont->setCurrentIndex(-1);

  const struct {
    QToolButton* button;
    QStyle::StandardPixmap icon;
  } icons[] = {
      {ui.ToolButtonStop, QStyle::SP_BrowserStop},
      {ui.ToolButtonRefresh, QStyle::SP_BrowserReload},
      {ui.ToolButtonPrev, QStyle::SP_ArrowBack},
      {ui.ToolButtonNext, QStyle::SP_ArrowForward},
      {ui.ToolButtonUp, QStyle::SP_ArrowUp},
      {ui.ToolButtonDown, QStyle::SP_ArrowDown},
      {ui.ToolButtonSpeech, QStyle::SP_MediaPlay},
      {ui.ToolButtonPause, QStyle::SP_MediaPause},
      {ui.ToolButtonSpeechStop, QStyle::SP_MediaStop},
      {ui.ToolButtonRadMes, QStyle::SP_DialogApplyButton},
      {ui.ToolButtonClearHist, QStyle::SP_DialogResetButton},
      {ui.ToolButtonASPlay, QStyle::SP_MediaPlay},
      {ui.ToolButtonASPause, QStyle::SP_MediaPause},
      {ui.ToolButtonASStop, QStyle::SP_MediaStop},
  };
  for (const auto& entry : icons) entry.button->setIcon(style()->standardIcon(entry.icon));

  ShowOptionPagesInRows();

  // The fonts that the settings file keeps, at their designed defaults.
  SetControlFont(ui.ListBoxTitle, MakeFontValue("Tahoma", 10));
  SetControlFont(ui.MemoMess, MakeFontValue("Tahoma", 12));
  SetControlFont(ui.MemoASHeadline, MakeFontValue("Tahoma", 8));
  SetControlFont(ui.MemoAS, MakeFontValue("Tahoma", 8));
}

void ReadingPage::ShowOptionPagesInRows() {
  // Six captions do not fit one tab row of the narrow options group: the tab bar would scroll
  // and clip them. Rows of page buttons stand in for it; the page control stays the one that
  // the settings and the other code know.
  QTabWidget* pages = ui.PageControlOp;
  auto* bar = new QWidget(ui.GroupBoxOptions);
  bar->setObjectName(QStringLiteral("PageControlOpButtons"));
  auto* grid = new QGridLayout(bar);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(1);
  auto* group = new QButtonGroup(bar);
  constexpr int kColumns = 2;
  for (int i = 0; i < pages->count(); ++i) {
    auto* button = new QToolButton(bar);
    button->setText(pages->tabText(i));
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    group->addButton(button, i);
    grid->addWidget(button, i / kColumns, i % kColumns);
  }
  pages->tabBar()->hide();
  static_cast<QBoxLayout*>(ui.GroupBoxOptions->layout())->insertWidget(0, bar);
  connect(group, &QButtonGroup::idClicked, pages, &QTabWidget::setCurrentIndex);
  auto follow = [group](int index) {
    if (QAbstractButton* button = group->button(index)) button->setChecked(true);
  };
  connect(pages, &QTabWidget::currentChanged, bar, follow);
  follow(pages->currentIndex());
}

void ReadingPage::ClearHeaderFields() {
  for (QLineEdit* field : {ui.EditWBTitleRSS, ui.EditWBTitle, ui.EditLink, ui.EditDatePub}) {
    field->clear();
  }
}

QColor ReadingPage::TextBackground() const { return ui.MemoMess->palette().color(QPalette::Base); }

}  // namespace vorlin
