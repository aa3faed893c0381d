#include "reader/search_page.h"

#include <QDateTime>
#include <QFileDialog>
#include <QMouseEvent>
#include <QTimer>
#include <cstdio>
#include <exception>

#include "app/control_state.h"
#include "app/error_report.h"
#include "app/status_line.h"
#include "reader/background_work.h"
#include "reader/channel_lists.h"
#include "reader/date_presets.h"
#include "reader/message_sort.h"
#include "store/census.h"
#include "store/store_loader.h"
#include "store/store_recovery.h"
#include "store/store_replace.h"
#include "util/file_io.h"
#include "util/process_clock.h"

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
  loader_ = new BackgroundWork(this);
  for (QLineEdit* field : {ui.EditSChannels, ui.EditSTitle, ui.EditSDescription, ui.EditSLink}) {
    connect(field, &QLineEdit::textEdited, this, &SearchPage::QueryEdited);
  }
}

void SearchPage::QueryEdited(const QString& text) {
  // A typed word must count: a search with the filter off would ignore it without a hint.
  if (!text.trimmed().isEmpty()) ui.CBoxSetFiler->setChecked(true);
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
  StartLoad(StoreStamp(), true);
}

std::optional<std::string> SearchPage::StoreToLoad() {
  try {
    return storeName_();
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
    return std::nullopt;
  }
}

void SearchPage::LoadAtStartUp() {
  if (!ui.CBoxLoadStoreAtStart->isChecked() || loader_->Running()) return;
  const std::optional<std::string> named = StoreToLoad();
  if (!named) return;
  const std::string& store = *named;
  // A new user has no store yet: nothing to load, nothing to report.
  if (store.empty() || !FileExists(store)) return;
  StartLoad(StoreStamp(), false);
}

void SearchPage::RefreshAfterRun() {
  if (loadedStore_.empty()) return;  // nothing loaded: the next load reads everything anyway
  if (loader_->Running()) {
    refreshPending_ = true;
    return;
  }
  StartLoad(state_.loadedStamp, false);
}

bool SearchPage::LoadInProgress() const { return loader_->Running(); }

void SearchPage::StartLoad(const StoreStamp& from, bool wait) {
  if (loader_->Running()) loader_->Wait();
  const std::optional<std::string> named = StoreToLoad();
  if (!named) return;
  const std::string& store = *named;
  // Only the same store's list can take an appended tail.
  const StoreStamp since = store == loadedStore_ ? from : StoreStamp();
  const int generation = ++loadGeneration_;
  ++state_.busy;  // a close request waits for the load
  ui.ButtonLoadAllFromArx->setEnabled(false);
  auto result = std::make_shared<LoadedStore>();
  loader_->Start(
      [store, since, result](Progress& progress) {
        RecoverStoreIfFree(store);
        *result = LoadStoreOrTail(store, since, progress);
      },
      [this](const std::string& text) { status_->SetPanelText(2, ToQ(text)); },
      [this, generation, store, result, wait](const std::string& error) {
        if (!error.empty()) {
          --state_.busy;
          if (generation == loadGeneration_) ui.ButtonLoadAllFromArx->setEnabled(true);
          ReportError(QString::fromUtf8(error));
          return;
        }
        FinishLoad(generation, store, result, wait);
      });
  if (wait) loader_->Wait();
}

void SearchPage::FinishLoad(int generation, const std::string& store,
                            std::shared_ptr<LoadedStore> result, bool wait) {
  // A search, a run, an export or reading aloud may be working through the lists while it
  // processes events; the new list waits until it has ended. (The button's own load is taken
  // at once: whatever it was pressed in the middle of would otherwise never end.)
  if ((!wait && state_.busy > 1) || exporting_) {
    QTimer::singleShot(50, this, [=, this] { FinishLoad(generation, store, result, wait); });
    return;
  }
  --state_.busy;
  if (generation != loadGeneration_) return;  // a newer load replaces this one
  ui.ButtonLoadAllFromArx->setEnabled(true);
  if (result->tail) {
    TakeAppended(*result);
  } else {
    TakeWholeStore(*result);
    // VORLIN_TIMING=1: when a whole store is in the lists, in seconds from process start.
    if (qEnvironmentVariableIsSet("VORLIN_TIMING")) {
      std::fprintf(stderr, "timing store-loaded %.2f\n", SecondsSinceProcessStart());
    }
  }
  loadedStore_ = store;
  if (refreshPending_) {
    refreshPending_ = false;
    QTimer::singleShot(0, this, &SearchPage::RefreshAfterRun);
  }
}

void SearchPage::TakeWholeStore(LoadedStore& loaded) {
  state_.messages.Swap(loaded.messages);
  state_.loadedStamp = loaded.stamp;
  // The numbers held by the found set, the accumulator and the message list named the
  // messages of the old list.
  state_.found.clear();
  state_.accumulator.Clear();
  state_.speechQueue.clear();
  ui.PanelAllFound->setText(QStringLiteral("0"));
  emit StoreLoaded();
  selected_.clear();
  state_.channels = std::move(loaded.channels);
  ShowSelection();
  allShown_ = state_.channels;
  ShowChannels();
  status_->SetPanelText(
      2, ToQ(CensusSummary(state_.messages.Count(), static_cast<int>(state_.channels.size()))));
}

void SearchPage::TakeAppended(LoadedStore& loaded) {
  const int added = loaded.messages.Count();
  for (int i = 0; i < added; ++i) state_.messages.AddFrom(loaded.messages, i);
  state_.loadedStamp = loaded.stamp;
  // Channels that came with the new messages join the lists, as the filter lets them.
  const std::vector<std::string> fresh = MergeChannels(state_.channels, loaded.channels);
  std::vector<std::string> shown = FilterChannels(fresh, ControlText(ui.EditFilterChnnels));
  std::vector<std::string> merged = allShown_;
  MergeChannels(merged, shown);
  allShown_ = std::move(merged);
  ShowChannels();
  status_->SetPanelText(
      2, QStringLiteral("Добавлено в список новых сообщений: %1. (New messages added to the "
                        "list: %1.) ")
                 .arg(added) +
             ToQ(CensusSummary(state_.messages.Count(), static_cast<int>(state_.channels.size()))));
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
  emit ShowFirstMessage();
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
