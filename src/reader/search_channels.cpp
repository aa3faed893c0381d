// The search page's channel lists and favourite groups.
#include <QDir>
#include <QFileDialog>
#include <exception>

#include "app/control_state.h"
#include "app/error_report.h"
#include "reader/channel_lists.h"
#include "reader/search_page.h"
#include "util/file_io.h"

namespace vorlin {
namespace {

void ShowLines(QListWidget* list, const std::vector<std::string>& lines) {
  QStringList items;
  items.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) items << ToQ(line);
  list->clear();
  list->addItems(items);
}

}  // namespace

void SearchPage::ShowChannels() { ShowLines(ui.ListBoxChannelAll, allShown_); }
void SearchPage::ShowSelection() { ShowLines(ui.ListBoxChannel, selected_); }

void SearchPage::EditFilterChnnelsChange() {
  allShown_ = FilterChannels(state_.channels, ControlText(ui.EditFilterChnnels));
  ShowChannels();
}

void SearchPage::ListBoxChannelAllDblClick() {
  if (MoveToSelection(allShown_, selected_, ui.ListBoxChannelAll->currentRow())) {
    ShowChannels();
    ShowSelection();
  }
}

void SearchPage::ListBoxChannelDblClick() {
  if (MoveBack(selected_, allShown_, ui.ListBoxChannel->currentRow())) {
    ShowChannels();
    ShowSelection();
  }
}

void SearchPage::ButtonChannelClearClick() {
  // The filter keeps its text although the list now shows every channel.
  selected_.clear();
  allShown_ = state_.channels;
  ShowSelection();
  ShowChannels();
}

void SearchPage::ShowFavoriteFolder(const std::string& programFolder) {
  if (ControlText(ui.EditDirFavoritListChannel).empty()) {
    SetControlText(ui.EditDirFavoritListChannel, programFolder);
  }
  EditDirFavoritListChannelChange();
}

void SearchPage::EditDirFavoritListChannelChange() {
  // The field changes with every keystroke; a folder that does not exist lists nothing.
  // Group files are listed by their names on disk, which the code page may not hold.
  ui.FBoxFavoritListChannel->clear();
  for (const std::string& name : ListGroupFiles(ControlText(ui.EditDirFavoritListChannel))) {
    ui.FBoxFavoritListChannel->addItem(QString::fromStdString(name));
  }
}

void SearchPage::ButtonSaveListChannelClick() {
  const QString folder = ui.EditDirFavoritListChannel->text();
  // The dialog starts in the favourites folder the first time; later where it was left.
  if (!groupDialog_->property("vorlinStarted").toBool()) {
    groupDialog_->setDirectory(folder);
    groupDialog_->setProperty("vorlinStarted", true);
  }
  groupDialog_->setWindowTitle(QStringLiteral("Save List Channel"));
  if (groupDialog_->exec() == QDialog::Accepted && !groupDialog_->selectedFiles().isEmpty()) {
    QString name = groupDialog_->selectedFiles().first();
    if (!name.endsWith(QStringLiteral(".myRSS"), Qt::CaseInsensitive)) name += ".myRSS";
    try {
      WriteGroupFile(NameFromPath(name.toStdString()), selected_);
    } catch (const std::exception& e) {
      ReportError(QString::fromUtf8(e.what()));
    }
  }
  EditDirFavoritListChannelChange();
}

void SearchPage::ButtonSetDirFavoritListChannelClick() {
  QString start = ui.EditDirFavoritListChannel->text();
  if (start.isEmpty()) start = QString::fromStdString(FsPath(state_.programFolder).string());
  QString chosen = QFileDialog::getExistingDirectory(
      this, QStringLiteral(" Выбор папки для групп каналов (Choose the folder of channel groups) "),
      start);
  ui.EditDirFavoritListChannel->setText(chosen.isEmpty() ? start : chosen);
  EditDirFavoritListChannelChange();
}

void SearchPage::FBoxFavoritListChannelClick() {
  QListWidgetItem* item = ui.FBoxFavoritListChannel->currentItem();
  if (item == nullptr) return;
  try {
    // The group replaces the selection; the all-channels list stays as it is.
    selected_ = ReadGroupFile(
        GroupFilePath(ControlText(ui.EditDirFavoritListChannel), item->text().toStdString()));
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
    return;
  }
  ShowSelection();
}

}  // namespace vorlin
