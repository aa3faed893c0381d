// The prompt shown when the target store file of an export already exists.
#pragma once

#include <QDialog>

#include "ui_file_exists_prompt.h"

namespace vorlin {

class TFormAlertExFile : public QDialog {
  Q_OBJECT

 public:
  enum Choice { kOverwrite = 0, kAppend = 1, kCancel = 2 };

  explicit TFormAlertExFile(QWidget* parent = nullptr);

  Ui::FormAlertExFile ui;

 public slots:
  // Esc and the close box count as "Отказаться (Cancel)": exec() gives kCancel.
  void reject() override;
};

}  // namespace vorlin
