#include "download/float_window.h"

#include "app/control_state.h"
#include "download/text_drop.h"

namespace vorlin {

TFormPopUp::TFormPopUp(QWidget* parent) : QDialog(parent, Qt::WindowStaysOnTopHint) {
  ui.setupUi(this);
  setFixedSize(191, 182);
  new TextDropTarget(this, {ui.EditUrl, ui.MemoCom});
  connect(ui.ButtonA, &QPushButton::clicked, this, &TFormPopUp::ButtonAClick);
  connect(ui.ButtonN, &QPushButton::clicked, this, &TFormPopUp::ButtonNClick);
  connect(ui.ButtonE, &QPushButton::clicked, this, &TFormPopUp::ButtonEClick);
}

void TFormPopUp::Open() {
  entries_.clear();
  exec();
}

void TFormPopUp::ButtonAClick() {
  entries_.push_back(MakeFloatEntry(ControlText(ui.EditUrl), ControlText(ui.MemoCom),
                                    ControlText(ui.EditD), ControlText(ui.EditH),
                                    ControlText(ui.EditM)));
}

void TFormPopUp::ButtonNClick() {
  ui.EditUrl->clear();
  ui.MemoCom->clear();
  ui.EditD->clear();
  ui.EditH->clear();
  ui.EditM->clear();
}

void TFormPopUp::ButtonEClick() { close(); }

}  // namespace vorlin
