// What a user sees of the window at its designed size: every page fits, and no caption is cut.
#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

#include "window_fixture.h"

namespace vorlin::testing {
namespace {

// The window keeps its designed client size: no page asks for more room than 684 by 598.
TEST_F(WindowTest, EveryPageFitsTheDesignedClientSize) {
  TMain& window = Start();
  window.show();
  QCoreApplication::processEvents();
  QSize minimum = window.minimumSizeHint();
  for (const char* name : {"TabSheetScan", "TabSheetRead", "TabSheet1", "TabSheet2", "TabSheet5",
                           "TabSheetDownloadsRSS", "TabSheet9", "PanelUpr", "StatusBar"}) {
    QWidget* page = Find<QWidget>(name);
    ASSERT_NE(page, nullptr);
    EXPECT_LE(page->minimumSizeHint().width(), 676) << name;
  }
  EXPECT_LE(minimum.width(), 684);
  EXPECT_LE(minimum.height(), 598);
  EXPECT_EQ(window.size(), QSize(684, 598));
}

// Every caption on every page is shown whole: tabs, buttons, labels, group titles and grid
// headers each get at least the width their text takes, and no tab row has to scroll.
TEST_F(WindowTest, NoCaptionIsCutAtTheDesignedSize) {
  TMain& window = Start();
  window.show();
  const QList<QTabWidget*> pageControls = window.findChildren<QTabWidget*>();
  QStringList cut;
  // A caption is cut when it gets less room than its text takes in the control's font.
  auto need = [&](QWidget* w, int room, QString text) {
    text.remove(QLatin1Char('&'));
    if (room < w->fontMetrics().horizontalAdvance(text)) cut << w->objectName() + ':' + text;
  };
  auto check = [&] {
    QCoreApplication::processEvents();
    for (QTabWidget* pages : pageControls) {
      QTabBar* bar = pages->tabBar();
      if (!bar->isVisible()) continue;
      int total = 0;
      for (int i = 0; i < bar->count(); ++i) {
        total += bar->tabRect(i).width();
        need(bar, bar->tabRect(i).width(), bar->tabText(i));
      }
      if (total > bar->width()) cut << pages->objectName() + QStringLiteral(" scrolls");
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
      if (!button->isVisible() || button->text().isEmpty()) continue;
      // Check boxes and radio buttons spend part of their width on the indicator.
      const bool indicator =
          qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
      need(button,
           button->contentsRect().width() -
               (indicator ? button->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button)
                          : 0),
           button->text());
    }
    for (QLabel* label : window.findChildren<QLabel*>()) {
      if (label->isVisible() && !label->wordWrap() && !label->text().contains(QLatin1Char('<')))
        need(label, label->contentsRect().width(), label->text());
    }
    for (QGroupBox* box : window.findChildren<QGroupBox*>()) {
      if (!box->isVisible() || box->title().isEmpty()) continue;
      QStyleOptionGroupBox option;
      option.initFrom(box);
      option.text = box->title();
      option.subControls = QStyle::SC_GroupBoxLabel;
      const QRect title =
          box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
      need(box, title.right() > box->width() ? 0 : title.width(), box->title().trimmed());
    }
    for (QTableView* grid : window.findChildren<QTableView*>()) {
      QHeaderView* header = grid->horizontalHeader();
      if (!grid->isVisible() || !header->isVisible()) continue;
      for (int c = 0; c < header->count(); ++c) {
        if (header->sectionSize(c) < header->sectionSizeHint(c)) {
          cut << grid->objectName() + ':' + grid->model()->headerData(c, Qt::Horizontal).toString();
        }
      }
    }
  };
  // Every page of every page control, one after the other, with the pages around it shown.
  for (QTabWidget* pages : pageControls) {
    for (int i = 0; i < pages->count(); ++i) {
      for (QWidget* w = pages->widget(i); w != nullptr; w = w->parentWidget()) {
        auto* outer = w->parentWidget()
                          ? qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget())
                          : nullptr;
        if (outer != nullptr && outer->indexOf(w) >= 0) outer->setCurrentWidget(w);
      }
      check();
    }
  }
  cut.removeDuplicates();
  EXPECT_TRUE(cut.isEmpty()) << cut.join(QStringLiteral("\n")).toStdString();
}

}  // namespace
}  // namespace vorlin::testing
