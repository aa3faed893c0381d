#include "reader/search_page.h"

#include <QDateTime>
#include <QDir>

#include "shell/control_state.h"
#include "util/file_io.h"

namespace vorlin {

SearchPage::SearchPage(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  ui.setupUi(this);
  ui.CBoxSDataPub->setCurrentIndex(0);
  for (QDateTimeEdit* picker : {ui.DateTimePickerS, ui.DateTimePickerE}) {
    picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  }
  ui.SplitterChanel->setStretchFactor(0, 1);
  ui.SplitterChanel->setStretchFactor(1, 1);
}

void SearchPage::ShowFavoriteFolder(const std::string& folder) {
  ui.FBoxFavoritListChannel->clear();
  QDir dir(QString::fromStdString(FsPath(folder).string()));
  ui.FBoxFavoritListChannel->addItems(
      dir.entryList({QStringLiteral("*.myRSS")}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

}  // namespace vorlin
