// The float window: a small always-on-top window that collects feed addresses dropped or
// typed into it while the main window is hidden.
#pragma once

#include <QDialog>

#include "ui_float_window.h"

namespace vorlin {

class TFormPopUp : public QDialog {
  Q_OBJECT

 public:
  explicit TFormPopUp(QWidget* parent = nullptr);

  Ui::FormPopUp ui;
};

}  // namespace vorlin
