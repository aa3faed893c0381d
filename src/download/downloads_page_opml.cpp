// The OPML buttons of the downloads page: feeds from another reader's subscription list, and
// the download list for another reader.
#include <QFileDialog>

#include "app/control_state.h"
#include "download/downloads_page.h"
#include "download/opml.h"
#include "ui_downloads_page.h"

namespace vorlin {

namespace {

const QString kOpmlFilter = QStringLiteral("OPML (*.opml *.xml);;* (*)");

}  // namespace

void DownloadsPage::ImportOpmlFrom(const std::string& fileName) {
  const int before = grid_.RowCount();
  const int added = ImportOpmlFile(fileName, grid_);
  ShowGrid();
  if (added > 0) SelectRow(before);
  emit LogLine(
      QStringLiteral("    %1: добавлено лент %2 (feeds added: %2)").arg(ToQ(fileName)).arg(added));
}

void DownloadsPage::ExportOpmlTo(const std::string& fileName) { ExportOpmlFile(grid_, fileName); }

void DownloadsPage::ButtonImportOPMLClick() {
  const QString file = QFileDialog::getOpenFileName(
      this, QStringLiteral("Импорт OPML (Import OPML)"), ToQ(state_.programFolder), kOpmlFilter);
  if (!file.isEmpty()) ImportOpmlFrom(FromQ(file));
}

void DownloadsPage::ButtonExportOPMLClick() {
  const QString file = QFileDialog::getSaveFileName(
      this, QStringLiteral("Экспорт OPML (Export OPML)"), ToQ(state_.programFolder), kOpmlFilter);
  if (!file.isEmpty()) ExportOpmlTo(FromQ(file));
}

}  // namespace vorlin
