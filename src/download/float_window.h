// The float window: a small always-on-top window that collects feed addresses dropped or
// typed into it while the main window is hidden.
#pragma once

#include <QDialog>
#include <vector>

#include "download/download_list.h"
#include "ui_float_window.h"

namespace vorlin {

class TFormPopUp : public QDialog {
  Q_OBJECT

 public:
  explicit TFormPopUp(QWidget* parent = nullptr);

  // Empties the collected entries and shows the window modally until Exit or the close box.
  void Open();
  // The entries added since the window was last opened, in the order added.
  const std::vector<FloatEntry>& Entries() const { return entries_; }

  // The buttons: Add appends the fields as an entry (they keep their text), New empties them,
  // Exit closes the window.
  void ButtonAClick();
  void ButtonNClick();
  void ButtonEClick();

 private:
  Ui::FormPopUp ui;
  std::vector<FloatEntry> entries_;
};

}  // namespace vorlin
