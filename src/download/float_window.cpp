#include "download/float_window.h"

namespace vorlin {

TFormPopUp::TFormPopUp(QWidget* parent) : QDialog(parent, Qt::WindowStaysOnTopHint) {
  ui.setupUi(this);
  setFixedSize(191, 182);
}

}  // namespace vorlin
