#include "reader/search_page.h"

#include <QDateTime>
#include <QDir>
#include <exception>

#include "app/control_state.h"
#include "app/error_report.h"
#include "app/status_line.h"
#include "store/census.h"
#include "store/store_loader.h"
#include "store/store_recovery.h"
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

void SearchPage::Attach(StatusLine& status, std::function<std::string()> storeName) {
  status_ = &status;
  storeName_ = std::move(storeName);
  connect(ui.ButtonLoadAllFromArx, &QPushButton::clicked, this,
          &SearchPage::ButtonLoadAllFromArxClick);
}

void SearchPage::ShowFavoriteFolder(const std::string& programFolder) {
  if (ControlText(ui.EditDirFavoritListChannel).empty()) {
    SetControlText(ui.EditDirFavoritListChannel, programFolder);
  }
  ui.FBoxFavoritListChannel->clear();
  QDir dir(QString::fromStdString(FsPath(ControlText(ui.EditDirFavoritListChannel)).string()));
  ui.FBoxFavoritListChannel->addItems(
      dir.entryList({QStringLiteral("*.myRSS")}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void SearchPage::SetDatePickers(const QDateTime& dateTime) {
  ui.DateTimePickerS->setDateTime(dateTime);
  ui.DateTimePickerE->setDateTime(dateTime);
}

void SearchPage::ButtonLoadAllFromArxClick() {
  BusyScope busy(state_);
  QPushButton* button = ui.ButtonLoadAllFromArx;
  button->setEnabled(false);
  try {
    StatusProgress progress(*status_, *window());
    RecoverStoreIfFree(storeName_());
    LoadStore(storeName_(), state_.messages, progress);
    ui.ListBoxChannel->clear();
    ui.ListBoxChannelAll->clear();
    state_.channels.clear();
    state_.channels = TakeCensus(state_.messages, progress);
    QStringList titles;
    titles.reserve(static_cast<qsizetype>(state_.channels.size()));
    for (const std::string& title : state_.channels) titles << ToQ(title);
    ui.ListBoxChannelAll->addItems(titles);
    status_->SetPanelText(
        2, ToQ(CensusSummary(state_.messages.Count(), static_cast<int>(state_.channels.size()))));
  } catch (const std::exception& e) {
    button->setEnabled(true);
    ReportError(QString::fromUtf8(e.what()));
    return;
  }
  button->setEnabled(true);
}

}  // namespace vorlin
