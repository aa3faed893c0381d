// The export options dialog. It reads its last state from OpsUSelMes.txt in the settings
// folder when it is created and writes it back when it is destroyed.
#pragma once

#include <QDialog>
#include <string>

#include "reader/export.h"
#include "ui_export_options_dialog.h"

namespace vorlin {

class TFormUSelMes : public QDialog {
  Q_OBJECT

 public:
  // `settingsFolder` is Windows-1251 with a trailing "/".
  explicit TFormUSelMes(std::string settingsFolder, QWidget* parent = nullptr);
  ~TFormUSelMes() override;

  Ui::FormUSelMes ui;

  // 0 after "Выполнить (Ok)"; -1 after "Отменить! (Сancel)" and after any other way of
  // closing (Esc, the close box), so that only the Ok button starts an export. Before the
  // first use it is 0.
  int DialogResult() const { return result_; }
  // The kind, the two targets and the removal as the dialog shows them (the name length is
  // the reading page's).
  ExportOptions Options() const;

  void FormCreate();
  // Writes OpsUSelMes.txt; throws Error when it cannot be written.
  void FormDestroy();

 public slots:
  // Esc, the close box and the cancel button end here.
  void reject() override;

 private slots:
  void ButtonOkClick();
  void ButtonCanselClick();
  void ButtonSelDirOutClick();
  void ButtonSelFileOutClick();

 private:
  std::string settingsFolder_;
  int result_ = 0;
};

}  // namespace vorlin
