// The window keeps its designed client size: no page asks for more room than 684 by 598.
#include <QCoreApplication>
#include <QTabWidget>

#include "window_fixture.h"

namespace vorlin::testing {
namespace {

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

}  // namespace
}  // namespace vorlin::testing
