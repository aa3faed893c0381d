#include "reader/export_options_dialog.h"

#include <QFileDialog>
#include <QRadioButton>
#include <algorithm>
#include <exception>

#include "app/control_state.h"
#include "app/error_report.h"
#include "util/settings_file.h"

namespace vorlin {

namespace {

const char* const kOptionsFile = "OpsUSelMes.txt";

const char* const kHelp =
    "Выгружаются сообщения, собранные в аккумуляторе расширенного поиска. Форматы *.txt и "
    "*.html пишут по файлу на сообщение в подпапки каналов указанной папки; формат Vorlin "
    "записывает сообщения в отдельное хранилище. Если выбрано удаление, выгруженные сообщения "
    "удаляются из основного хранилища. (Messages of the accumulator are written to text or "
    "HTML files, one per message, or to a second store; they can then be removed from the "
    "store.)";

}  // namespace

TFormUSelMes::TFormUSelMes(std::string settingsFolder, QWidget* parent)
    : QDialog(parent), settingsFolder_(std::move(settingsFolder)) {
  ui.setupUi(this);
  ui.MemoHelp->setPlainText(QString::fromUtf8(kHelp));
  resize(470, 430);
  connect(ui.ButtonOk, &QPushButton::clicked, this, &TFormUSelMes::ButtonOkClick);
  connect(ui.ButtonCansel, &QPushButton::clicked, this, &TFormUSelMes::ButtonCanselClick);
  connect(ui.ButtonSelDirOut, &QPushButton::clicked, this, &TFormUSelMes::ButtonSelDirOutClick);
  connect(ui.ButtonSelFileOut, &QPushButton::clicked, this, &TFormUSelMes::ButtonSelFileOutClick);
  FormCreate();
}

TFormUSelMes::~TFormUSelMes() {
  try {
    FormDestroy();
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
  }
}

void TFormUSelMes::FormCreate() {
  SettingsFile file = SettingsFile::Load(settingsFolder_ + kOptionsFile);
  if (file.Entries().empty()) return;
  SetControlText(ui.EditFileOut, file.Get("EditFileOut.Text").value_or(""));
  SetControlText(ui.EditDirOut, file.Get("EditDirOut.Text").value_or(""));
  if (auto index = file.GetInt("RGroupWUnload.ItemIndex")) {
    SetRadioIndex(ui.RGroupWUnload, static_cast<int>(*index));
  }
  if (auto index = file.GetInt("RadioGroupDelMes.ItemIndex")) {
    SetRadioIndex(ui.RadioGroupDelMes, static_cast<int>(*index));
  }
}

void TFormUSelMes::FormDestroy() {
  SettingsFile file;
  file.Set("EditFileOut.Text", ControlText(ui.EditFileOut));
  file.Set("EditDirOut.Text", ControlText(ui.EditDirOut));
  file.Set("RGroupWUnload.ItemIndex", std::to_string(RadioIndex(ui.RGroupWUnload)));
  file.Set("RadioGroupDelMes.ItemIndex", std::to_string(RadioIndex(ui.RadioGroupDelMes)));
  file.Save(settingsFolder_ + kOptionsFile);
}

void TFormUSelMes::ButtonOkClick() {
  result_ = 0;
  accept();
}

void TFormUSelMes::ButtonCanselClick() { reject(); }

ExportOptions TFormUSelMes::Options() const {
  ExportOptions options;
  options.kind = static_cast<ExportKind>(std::clamp(RadioIndex(ui.RGroupWUnload), 0, 2));
  options.outFolder = ControlText(ui.EditDirOut);
  options.storeFile = ControlText(ui.EditFileOut);
  options.removeFromStore = RadioIndex(ui.RadioGroupDelMes) == 0;
  return options;
}

void TFormUSelMes::ButtonSelDirOutClick() {
  const QString folder = QFileDialog::getExistingDirectory(
      this, QStringLiteral(" Выбор папки (Choose a folder) "), ui.EditDirOut->text());
  if (!folder.isEmpty()) ui.EditDirOut->setText(folder);
}

void TFormUSelMes::ButtonSelFileOutClick() {
  const QString current = ui.EditFileOut->text();
  const QString start = current.isEmpty() ? ToQ(settingsFolder_) : current;
  QFileDialog dialog(
      this,
      QStringLiteral(
          "Выбери или создай файл базы формата *.Rss (Choose or create a store file *.rss)"),
      start, QStringLiteral("База RSS, Data base rss (*.rss)"));
  dialog.setObjectName(QStringLiteral("SaveDialogFileOut"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("rss"));
  // Appending to an existing store is asked at export time.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    ui.EditFileOut->setText(dialog.selectedFiles().first());
  }
}

void TFormUSelMes::reject() {
  result_ = -1;
  QDialog::reject();
}

}  // namespace vorlin
