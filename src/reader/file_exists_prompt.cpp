#include "reader/file_exists_prompt.h"

namespace vorlin {

TFormAlertExFile::TFormAlertExFile(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  ui.setupUi(this);
  setModal(true);
  // exec() returns the choice: 0 overwrite, 1 append, 2 cancel.
  connect(ui.ButtonOverwrite, &QPushButton::clicked, this, [this] { done(kOverwrite); });
  connect(ui.ButtonAppend, &QPushButton::clicked, this, [this] { done(kAppend); });
  connect(ui.ButtonCancel, &QPushButton::clicked, this, [this] { done(kCancel); });
}

void TFormAlertExFile::reject() { done(kCancel); }

}  // namespace vorlin
