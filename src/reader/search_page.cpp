#include "reader/search_page.h"

#include <QDateTime>
#include <QFileDialog>
#include <QMouseEvent>
#include <exception>

#include "app/control_state.h"
#include "app/error_report.h"
#include "app/status_line.h"
#include "reader/date_presets.h"
#include "reader/message_sort.h"
#include "store/census.h"
#include "store/store_loader.h"
#include "store/store_recovery.h"
#include "store/store_replace.h"
#include "util/file_io.h"

namespace vorlin {
namespace {

Date PickerDate(const QDateTimeEdit* picker) {
  QDate d = picker->date();
  return {d.year(), d.month(), d.day()};
}

void SetPickerDate(QDateTimeEdit* picker, const Date& date) {
  picker->setDate(QDate(date.year, date.month, date.day));
}

}  // namespace

SearchPage::SearchPage(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  ui.setupUi(this);
  ui.CBoxSDataPub->setCurrentIndex(0);
  for (QDateTimeEdit* picker : {ui.DateTimePickerS, ui.DateTimePickerE}) {
    picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  }
  ui.SplitterChanel->setStretchFactor(0, 1);
  ui.SplitterChanel->setStretchFactor(1, 1);
  for (QLabel* label : {ui.LabelFiltr, ui.LabelCh, ui.LabelSTitle, ui.LabelSDescription,
                        ui.LabelSlink, ui.LabelSDataPub}) {
    label->installEventFilter(this);
  }
}

void SearchPage::Attach(StatusLine& status, std::function<std::string()> storeName,
                        QFileDialog& groupDialog) {
  status_ = &status;
  storeName_ = std::move(storeName);
  groupDialog_ = &groupDialog;
  const struct {
    QPushButton* button;
    void (SearchPage::*slot)();
  } buttons[] = {
      {ui.ButtonLoadAllFromArx, &SearchPage::ButtonLoadAllFromArxClick},
      {ui.ButtonChannelClear, &SearchPage::ButtonChannelClearClick},
      {ui.ButtonSaveListChannel, &SearchPage::ButtonSaveListChannelClick},
      {ui.ButtonSetDirFavoritListChannel, &SearchPage::ButtonSetDirFavoritListChannelClick},
      {ui.ButtonFindAndShow, &SearchPage::ButtonFindAndShowClick},
      {ui.ButtonFound, &SearchPage::ButtonFoundClick},
      {ui.ButtonAssociation, &SearchPage::ButtonAssociationClick},
      {ui.ButtonIntersection, &SearchPage::ButtonIntersectionClick},
      {ui.ButtonNotIntersection, &SearchPage::ButtonNotIntersectionClick},
      {ui.ButtonException, &SearchPage::ButtonExceptionClick},
      {ui.ButtonShowAllMess, &SearchPage::ButtonShowAllMessClick},
      {ui.ButtonClearAllFound, &SearchPage::ButtonClearAllFoundClick},
  };
  for (const auto& b : buttons) connect(b.button, &QPushButton::clicked, this, b.slot);
  connect(ui.ButtonLoadAllMessToClib, &QPushButton::clicked, this,
          &SearchPage::CopyToClipboardRequested);
  connect(ui.EditFilterChnnels, &QLineEdit::textChanged, this,
          &SearchPage::EditFilterChnnelsChange);
  connect(ui.ListBoxChannelAll, &QListWidget::itemDoubleClicked, this,
          &SearchPage::ListBoxChannelAllDblClick);
  connect(ui.ListBoxChannel, &QListWidget::itemDoubleClicked, this,
          &SearchPage::ListBoxChannelDblClick);
  connect(ui.EditDirFavoritListChannel, &QLineEdit::textChanged, this,
          &SearchPage::EditDirFavoritListChannelChange);
  connect(ui.FBoxFavoritListChannel, &QListWidget::itemClicked, this,
          &SearchPage::FBoxFavoritListChannelClick);
  connect(ui.CBoxSDataPub, &QComboBox::currentIndexChanged, this, &SearchPage::CBoxSDataPubChange);
}

void SearchPage::SetDatePickers(const QDateTime& dateTime) {
  ui.DateTimePickerS->setDateTime(dateTime);
  ui.DateTimePickerE->setDateTime(dateTime);
}

bool SearchPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress) return QWidget::eventFilter(watched, event);
  // A click on a field's label empties the field.
  if (watched == ui.LabelFiltr) ui.EditFilterChnnels->clear();
  if (watched == ui.LabelCh) ui.EditSChannels->clear();
  if (watched == ui.LabelSTitle) ui.EditSTitle->clear();
  if (watched == ui.LabelSDescription) ui.EditSDescription->clear();
  if (watched == ui.LabelSlink) ui.EditSLink->clear();
  if (watched == ui.LabelSDataPub) ui.CBoxSDataPub->setCurrentIndex(0);
  return QWidget::eventFilter(watched, event);
}

void SearchPage::ButtonLoadAllFromArxClick() {
  // An export reads the list it started with to its end, and builds the removal on it.
  if (exporting_) return;
  BusyScope busy(state_);
  QPushButton* button = ui.ButtonLoadAllFromArx;
  button->setEnabled(false);
  try {
    StatusProgress progress(*status_, *window());
    RecoverStoreIfFree(storeName_());
    // Events processed during the load see the old list whole, with the numbers that name it.
    MessageList loaded;
    const StoreStamp stamp = LoadStoreStamped(storeName_(), loaded, progress);
    // From the swap on, no number of the old list may be read: every list of them is emptied
    // before the next event is processed.
    state_.messages.Swap(loaded);
    state_.loadedStamp = stamp;
    state_.found.clear();
    state_.accumulator.Clear();
    state_.speechQueue.clear();
    ui.PanelAllFound->setText(QStringLiteral("0"));
    emit StoreLoaded();
    loaded.Clear();
    selected_.clear();
    state_.channels.clear();
    state_.channels = TakeCensus(state_.messages, progress);
    ShowSelection();
    allShown_ = state_.channels;
    ShowChannels();
    status_->SetPanelText(
        2, ToQ(CensusSummary(state_.messages.Count(), static_cast<int>(state_.channels.size()))));
  } catch (const std::exception& e) {
    button->setEnabled(true);
    ReportError(QString::fromUtf8(e.what()));
    return;
  }
  button->setEnabled(true);
}

void SearchPage::CBoxSDataPubChange() {
  Date start = PickerDate(ui.DateTimePickerS);
  Date end = PickerDate(ui.DateTimePickerE);
  ApplyDatePreset(ui.CBoxSDataPub->currentIndex(), TodayLocal(), start, end);
  SetPickerDate(ui.DateTimePickerS, start);
  SetPickerDate(ui.DateTimePickerE, end);
}

SearchSettings SearchPage::CurrentSettings() const {
  SearchSettings s;
  s.selectedChannels = selected_;
  s.useFilter = ui.CBoxSetFiler->isChecked();
  const QLineEdit* fields[4] = {ui.EditSChannels, ui.EditSTitle, ui.EditSDescription, ui.EditSLink};
  for (size_t i = 0; i < 4; ++i) s.queries[i] = ControlText(fields[i]);
  s.rangeActive = ui.CBoxSDataPub->currentIndex() != 0;
  s.rangeStart = RangeStart(PickerDate(ui.DateTimePickerS));
  s.rangeEnd = RangeEnd(PickerDate(ui.DateTimePickerE));
  s.withoutRead = ui.CheckBoxReadMes->isChecked();
  return s;
}

void SearchPage::ShowFoundStatus(size_t count) {
  status_->SetPanelText(2, ToQ(FoundStatusText(count)));
}

void SearchPage::ButtonFindAndShowClick() {
  state_.found.clear();
  std::vector<int> list =
      SimpleSearch(state_.messages, CurrentSettings(), state_.readIndex, state_.accumulator);
  emit ListMessages(list, true);
  emit ClearMessageView();
  emit ShowReadingPage();
  ShowFoundStatus(list.size());
}

void SearchPage::ButtonFoundClick() {
  state_.found = SelectMessages(state_.messages, CurrentSettings(), state_.readIndex);
  emit ListMessages(state_.found, false);
  ShowFoundStatus(state_.found.size());
}

void SearchPage::Combined() {
  ui.PanelAllFound->setText(QString::number(state_.accumulator.Count()));
  state_.found.clear();
}

void SearchPage::ButtonAssociationClick() {
  state_.accumulator.Union(state_.found);
  Combined();
}

void SearchPage::ButtonIntersectionClick() {
  state_.accumulator.Intersection(state_.found);
  Combined();
}

void SearchPage::ButtonNotIntersectionClick() {
  state_.accumulator.NotIntersection(state_.found);
  Combined();
}

void SearchPage::ButtonExceptionClick() {
  state_.accumulator.Exception(state_.found);
  Combined();
}

void SearchPage::ButtonShowAllMessClick() {
  std::vector<int> items = state_.accumulator.Items();
  // Only numbers of the loaded list are sorted and listed.
  std::erase_if(items, [&](int n) { return n < 0 || n >= state_.messages.Count(); });
  SortByChannelAndDate(state_.messages, items);
  state_.accumulator.Reorder(items);
  emit ListMessages(items, true);
  emit ShowReadingPage();
  ShowFoundStatus(items.size());
}

void SearchPage::ButtonClearAllFoundClick() {
  state_.accumulator.Clear();
  ui.PanelAllFound->setText(QStringLiteral("0"));
}

}  // namespace vorlin
