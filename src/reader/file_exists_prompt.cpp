#include "reader/file_exists_prompt.h"

namespace vorlin {

TFormAlertExFile::TFormAlertExFile(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  ui.setupUi(this);
  setModal(true);
}

}  // namespace vorlin
