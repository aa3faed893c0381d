#include "ingest/scan_page.h"

namespace vorlin {

ScanPage::ScanPage(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  ui.setupUi(this);
}

}  // namespace vorlin
