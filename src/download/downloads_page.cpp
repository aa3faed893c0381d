// The downloads page: construction, the grid and its editor, the list files and the float
// window. The downloads themselves are in downloads_run.cpp.
#include "download/downloads_page.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <filesystem>

#include "app/control_state.h"
#include "app/error_report.h"
#include "app/status_line.h"
#include "download/download_list_check.h"
#include "download/download_list_merge.h"
#include "download/feed_fetch.h"
#include "download/float_window.h"
#include "download/text_drop.h"
#include "ui_downloads_page.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

constexpr int kColumnWidths[] = {172, 154, 38, 41, 37, 275};
const char* const kListFile = "DLFiles.txt";

// Calls a handler from a signal; exceptions must not unwind through Qt's signal delivery, so
// they are shown in the program's error box here.
template <typename Handler>
auto Reporting(DownloadsPage* page, Handler handler) {
  return [page, handler] {
    try {
      (page->*handler)();
    } catch (const std::exception& e) {
      ReportError(QString::fromUtf8(e.what()));
    }
  };
}

// The first line of a list without its header is a feed, not a header to be dropped.
std::string HeaderlessNotice(const std::string& fileName) {
  return W("    Первая строка файла ") + fileName +
         W(" - адрес, а не заголовок: она оставлена строкой списка (The first line of ") +
         fileName + W(" is an address, not the header: it is kept as a row of the list)");
}

// Asks a yes-or-no question in a message box.
bool AskUser(const QString& question) {
  return QMessageBox::question(QApplication::activeWindow(), QStringLiteral("Vorlin"), question) ==
         QMessageBox::Yes;
}

// A list dialog that has no folder of its own yet starts in the program's folder.
void StartInProgramFolder(QFileDialog& dialog, const std::string& programFolder) {
  const char* const kStarted = "vorlinStarted";
  if (dialog.property(kStarted).toBool()) return;
  dialog.setProperty(kStarted, true);
  dialog.setDirectory(ToQ(programFolder));
}

}  // namespace

DownloadsPage::DownloadsPage(AppState& state, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::DownloadsPage>()), state_(state), ask_(&AskUser) {
  ui->setupUi(this);
  QTableWidget* grid = ui->SGridDF;
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  // One line a row, as the list file keeps it.
  grid->setWordWrap(false);
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
  SetDownloadGridHeaders(grid_);
  listBase_ = grid_.rows;
  ShowGrid();
  // libcurl's global set-up is not thread-safe: it runs here, on the UI thread, before any
  // worker (a fetch, a feed discovery) can be the first to make a fetcher.
  FeedFetcher{};
  // The designed widths, widened where the font would cut a header.
  for (int column = 0; column < kDownloadColumns; ++column) {
    grid->setColumnWidth(
        column, std::max(kColumnWidths[column], grid->horizontalHeader()->sectionSizeHint(column)));
  }
  SelectRow(1);
}

DownloadsPage::~DownloadsPage() {
  // The worker posts its result to this page; it must be gone before the page is.
  discoveryAbort_ = 1;
  if (discoveryThread_.joinable()) discoveryThread_.join();
}

void DownloadsPage::Attach(StatusLine& status, QTimer& timerDownloadAll,
                           QFileDialog& openListDialog, QFileDialog& saveListDialog,
                           TFormPopUp& formPopUp) {
  status_ = &status;
  timerDownloadAll_ = &timerDownloadAll;
  openListDialog_ = &openListDialog;
  saveListDialog_ = &saveListDialog;
  formPopUp_ = &formPopUp;
  const std::pair<QPushButton*, void (DownloadsPage::*)()> buttons[] = {
      {ui->ButtonUrlAdd, &DownloadsPage::ButtonUrlAddClick},
      {ui->ButtonUrlSave, &DownloadsPage::ButtonUrlSaveClick},
      {ui->ButtonUrlDelete, &DownloadsPage::ButtonUrlDeleteClick},
      {ui->ButtonUrlClear, &DownloadsPage::ButtonUrlClearClick},
      {ui->ButtonCleanDate, &DownloadsPage::ButtonCleanDateClick},
      {ui->ButtonSaveListURL, &DownloadsPage::ButtonSaveListURLClick},
      {ui->ButtonLoadListURL, &DownloadsPage::ButtonLoadListURLClick},
      {ui->ButtonSelectDirSaveDFiles, &DownloadsPage::ButtonSelectDirSaveDFilesClick},
      {ui->ButtonBob, &DownloadsPage::ButtonBobClick},
      {ui->ButtonImportOPML, &DownloadsPage::ButtonImportOPMLClick},
      {ui->ButtonExportOPML, &DownloadsPage::ButtonExportOPMLClick},
      {ui->ButtonDownloadAll, &DownloadsPage::ButtonDownloadAllClick},
      {ui->ButtonDownloadOneFile, &DownloadsPage::ButtonDownloadOneFileClick},
      {ui->ButtonDownloadAllOnTimer, &DownloadsPage::ButtonDownloadAllOnTimerClick},
      {ui->ButtonStopAll, &DownloadsPage::ButtonStopAllClick},
  };
  for (const auto& [button, handler] : buttons) {
    connect(button, &QPushButton::clicked, this, Reporting(this, handler));
  }
  connect(ui->SpeedButtonUrlUp, &QToolButton::clicked, this,
          Reporting(this, &DownloadsPage::SpeedButtonUrlUpClick));
  connect(ui->SpeedButtonUrlDn, &QToolButton::clicked, this,
          Reporting(this, &DownloadsPage::SpeedButtonUrlDnClick));
  connect(timerDownloadAll_, &QTimer::timeout, this,
          Reporting(this, &DownloadsPage::TimerDownloadAllTimer));
  connect(ui->SGridDF, &QTableWidget::currentCellChanged, this,
          [this](int row) { SGridDFSelectCell(row + 1); });
  connect(&runner_, &FetchRunner::StatusText, this,
          [this](const QString& text) { status_->SetPanelText(2, text); });
  runner_.SetDone([this](const FetchResult& result) { Fetched(result); });
  new TextDropTarget(window(), {ui->EditURL, ui->EditCommentary});
  // A close request during a download aborts it; the window closes once the aborted
  // transfers have reported (it counts a download as busy).
  window()->installEventFilter(this);
}

bool DownloadsPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close && Downloading()) AbortDownloads();
  return QWidget::eventFilter(watched, event);
}

void DownloadsPage::LoadDownloadList(const std::string& folder) {
  const std::string name = folder + kListFile;
  listFile_ = name;
  try {
    if (FileExists(name) || std::filesystem::exists(FsPath(name))) {
      if (LoadGridFromFile(name, grid_)) {
        // Start-up runs before the log pane is connected.
        QTimer::singleShot(0, this, [this, name] { emit LogLine(ToQ(HeaderlessNotice(name))); });
      }
    }
    listBase_ = grid_.rows;
  } catch (...) {
    // Writing the designed empty list over a file that could not be read would lose it.
    listUnreadable_ = true;
    SetDownloadGridHeaders(grid_);
    ShowGrid();
    throw;
  }
  SetDownloadGridHeaders(grid_);
  ShowGrid();
  SelectRow(1);
}

void DownloadsPage::SaveDownloadList(const std::string& folder) {
  if (listUnreadable_) return;
  // Another window on this folder, or a scheduled download, may have written it meanwhile.
  SaveGridMerged(folder + kListFile, grid_, listBase_);
}

std::string DownloadsPage::Folder() const {
  const std::string text = ControlText(ui->EditDirSaveDFiles);
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string DownloadsPage::FolderForStore() const {
  return ui->CBoxAddDownloadsToStore->isChecked() ? Folder() : std::string();
}

void DownloadsPage::ShowGrid() {
  QTableWidget* table = ui->SGridDF;
  editGuard_ = true;
  QStringList headers;
  for (const std::string& text : grid_.rows[0]) headers << ToQ(text);
  table->setHorizontalHeaderLabels(headers);
  table->setRowCount(grid_.RowCount() - 1);
  for (int row = 1; row < grid_.RowCount(); ++row) ShowRow(row);
  editGuard_ = false;
}

void DownloadsPage::ShowRow(int row) {
  QTableWidget* table = ui->SGridDF;
  for (int column = 0; column < kDownloadColumns; ++column) {
    const QString text = ToQ(grid_.rows[row][column]);
    if (QTableWidgetItem* item = table->item(row - 1, column)) {
      if (item->text() != text) item->setText(text);
    } else {
      table->setItem(row - 1, column, new QTableWidgetItem(text));
    }
  }
}

int DownloadsPage::SelectedRow() const {
  const int row = ui->SGridDF->currentRow() + 1;
  return grid_.IsDataRow(row) ? row : 0;
}

void DownloadsPage::SelectRow(int row) {
  if (!grid_.IsDataRow(row)) return;
  ui->SGridDF->setCurrentCell(row - 1, 0);
  // Selecting the row that is already current changes no cell, and the fields must show it
  // anyway (at start-up, after a list is loaded): Save would otherwise write empty fields.
  SGridDFSelectCell(row);
}

void DownloadsPage::SGridDFSelectCell(int row) {
  if (editGuard_ || !grid_.IsDataRow(row)) return;
  const DownloadRow& cells = grid_.rows[row];
  SetControlText(ui->EditURL, cells[kColUrl]);
  SetControlText(ui->EditCommentary, cells[kColComment]);
  SetControlText(ui->EditDateLastDLoad, cells[kColStamp]);
  SetControlText(ui->EditFrequencyLoadDays, cells[kColDays]);
  SetControlText(ui->EditFrequencyLoadHours, cells[kColHours]);
  SetControlText(ui->EditFrequencyLoadMin, cells[kColMinutes]);
}

DownloadRow DownloadsPage::EditedRow() const {
  DownloadRow row;
  row[kColUrl] = ControlText(ui->EditURL);
  row[kColComment] = ControlText(ui->EditCommentary);
  row[kColDays] = ControlText(ui->EditFrequencyLoadDays);
  row[kColHours] = ControlText(ui->EditFrequencyLoadHours);
  row[kColMinutes] = ControlText(ui->EditFrequencyLoadMin);
  const std::string problem = DownloadRowProblem(row);
  if (!problem.empty()) throw Error(problem);
  return row;
}

void DownloadsPage::AppendRow(DownloadRow row) {
  grid_.rows.push_back(std::move(row));
  ShowGrid();
  SelectRow(grid_.RowCount() - 1);
}

void DownloadsPage::ButtonUrlAddClick() { AddFeedRow(EditedRow()); }

void DownloadsPage::ButtonUrlSaveClick() {
  const int row = SelectedRow();
  if (row == 0) throw Error(kNoRowSelected);
  DownloadRow cells = EditedRow();
  grid_.rows[row] = std::move(cells);
  ShowRow(row);
}

void DownloadsPage::ButtonUrlDeleteClick() {
  const int row = SelectedRow();
  if (!DeleteGridRow(grid_, row)) return;
  ShowGrid();
  editGuard_ = true;
  SelectRow(std::min(row, grid_.RowCount() - 1));
  editGuard_ = false;
}

void DownloadsPage::ButtonUrlClearClick() {
  for (QLineEdit* field :
       {ui->EditURL, ui->EditCommentary, ui->EditDateLastDLoad, ui->EditFrequencyLoadDays,
        ui->EditFrequencyLoadHours, ui->EditFrequencyLoadMin}) {
    field->clear();
  }
}

// Forgets the selected feed's last download, so the next timed check fetches it as new.
void DownloadsPage::ButtonCleanDateClick() {
  const int row = SelectedRow();
  ui->EditDateLastDLoad->clear();
  if (row == 0) return;
  grid_.rows[row][kColStamp].clear();
  ShowRow(row);
}

void DownloadsPage::SpeedButtonUrlUpClick() {
  const int row = SelectedRow();
  if (row > 1) SelectRow(row - 1);
}

void DownloadsPage::SpeedButtonUrlDnClick() {
  const int row = SelectedRow();
  if (row != 0 && row + 1 < grid_.RowCount()) SelectRow(row + 1);
}

void DownloadsPage::SaveListTo(const std::string& fileName) {
  SaveGridToFile(fileName, grid_);
  ShowGrid();
}

void DownloadsPage::LoadListFrom(const std::string& fileName) {
  const std::string text = ReadWholeFile(fileName);
  RequireListText(text, fileName);
  bool listed = false;
  for (int row = 1; row < grid_.RowCount(); ++row) listed |= !grid_.rows[row][kColUrl].empty();
  if (listed && !ask_(QStringLiteral("Заменить текущий список адресов списком из файла %1? "
                                     "(Replace the current list of addresses with the list "
                                     "from the file %1?)")
                          .arg(ToQ(fileName)))) {
    return;
  }
  bool headerless = false;
  grid_.rows = ParseListFile(text, &headerless);
  if (headerless) emit LogLine(ToQ(HeaderlessNotice(fileName)));
  ShowGrid();
  SelectRow(1);
}

void DownloadsPage::ButtonSaveListURLClick() {
  StartInProgramFolder(*saveListDialog_, state_.programFolder);
  if (saveListDialog_->exec() != QDialog::Accepted) return;
  const QStringList chosen = saveListDialog_->selectedFiles();
  if (!chosen.isEmpty() && !chosen.first().isEmpty()) SaveListTo(FromQ(chosen.first()));
}

void DownloadsPage::ButtonLoadListURLClick() {
  StartInProgramFolder(*openListDialog_, state_.programFolder);
  if (openListDialog_->exec() != QDialog::Accepted) return;
  const QStringList chosen = openListDialog_->selectedFiles();
  if (!chosen.isEmpty() && !chosen.first().isEmpty()) LoadListFrom(FromQ(chosen.first()));
}

void DownloadsPage::ButtonSelectDirSaveDFilesClick() {
  const QString folder = QFileDialog::getExistingDirectory(
      this, QStringLiteral(" Выбор папки (Choose a folder) "), ui->EditDirSaveDFiles->text());
  if (!folder.isEmpty()) ui->EditDirSaveDFiles->setText(folder);
}

void DownloadsPage::ButtonBobClick() {
  QWidget* main = window();
  main->hide();
  formPopUp_->Open();
  DownloadGrid entries;
  AppendFloatEntries(entries, formPopUp_->Entries());
  for (size_t row = 1; row < entries.rows.size(); ++row) AddFeedRow(std::move(entries.rows[row]));
  main->show();
}

}  // namespace vorlin
