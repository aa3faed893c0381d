// The export button of the extended search.
#include <exception>

#include "app/control_state.h"
#include "app/error_report.h"
#include "app/status_line.h"
#include "reader/export.h"
#include "reader/export_options_dialog.h"
#include "reader/file_exists_prompt.h"
#include "reader/search_page.h"

namespace vorlin {

void SearchPage::AttachExport(TFormUSelMes& options, TFormAlertExFile& prompt,
                              std::function<int()> nameLength) {
  exportOptions_ = &options;
  existsPrompt_ = &prompt;
  nameLength_ = std::move(nameLength);
  connect(ui.ButtonUnloadingSelMes, &QPushButton::clicked, this,
          &SearchPage::ButtonUnloadingSelMesClick);
}

void SearchPage::ButtonUnloadingSelMesClick() {
  if (state_.accumulator.Count() == 0) return;
  exportOptions_->exec();
  if (exportOptions_->DialogResult() != 0) return;
  ExportOptions options = exportOptions_->Options();
  options.nameLength = nameLength_();
  BusyScope busy(state_);
  // The export processes events: the accumulator may change meanwhile, so it exports a copy,
  // and the store is not loaded again until the export and its removal are done.
  const std::vector<int> numbers = state_.accumulator.Items();
  QPushButton* load = ui.ButtonLoadAllFromArx;
  const bool loadEnabled = load->isEnabled();
  load->setEnabled(false);
  exporting_ = true;
  ui.ButtonUnloadingSelMes->setEnabled(false);
  try {
    StatusProgress progress(*status_, *window());
    ExportAndRemove(state_.messages, numbers, options, storeName_(), state_.loadedStamp, progress,
                    [this] { return static_cast<ExistsAnswer>(existsPrompt_->exec()); });
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
  }
  exporting_ = false;
  load->setEnabled(loadEnabled);
  ui.ButtonUnloadingSelMes->setEnabled(true);
}

}  // namespace vorlin
