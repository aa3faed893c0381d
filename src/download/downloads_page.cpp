#include "download/downloads_page.h"

#include <QHeaderView>

namespace vorlin {

namespace {

constexpr int kColumnWidths[] = {172, 154, 38, 41, 37, 275};

}  // namespace

DownloadsPage::DownloadsPage(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  ui.setupUi(this);
  QTableWidget* grid = ui.SGridDF;
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid->setHorizontalHeaderLabels({QStringLiteral("URL-Адрес"),
                                   QStringLiteral("Date of the last Downloading"),
                                   QStringLiteral("Days"), QStringLiteral("Hours"),
                                   QStringLiteral("Min"), QStringLiteral("Commentary")});
  for (int column = 0; column < 6; ++column) grid->setColumnWidth(column, kColumnWidths[column]);
}

}  // namespace vorlin
