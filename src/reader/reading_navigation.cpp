// The reading page's tool bar (history, previous and next message) and its font and colour
// buttons.
#include <QColorDialog>
#include <QFontDialog>

#include "app/control_state.h"
#include "app/font_value.h"
#include "reader/message_list_model.h"
#include "reader/reading_page.h"

namespace vorlin {

void ReadingPage::RecordHistory() {
  const int line = SelectedLine();
  if (line < 0) return;
  if (history_.Record(line, model_->LineText(line), model_->rowCount())) ShowHistory();
}

void ReadingPage::ShowHistory() {
  QStringList entries;
  for (const std::string& entry : history_.Entries()) entries << ToQ(entry);
  ui.CBoxHistoryList->clear();
  ui.CBoxHistoryList->addItems(entries);
  ui.CBoxHistoryList->setCurrentIndex(history_.Selected());
}

void ReadingPage::OpenHistoryEntry() {
  auto target = history_.Open(model_->rowCount());
  if (!target) return;
  if (target->line < 0) {
    ui.WebBrowser->Navigate(ToQ(target->address));
    return;
  }
  SelectLine(target->line);
  ShowCurrentMessage();
}

void ReadingPage::CBoxHistoryListChange(int index) {
  history_.Select(index);
  OpenHistoryEntry();
}

void ReadingPage::ToolButtonStopClick() { ui.WebBrowser->Stop(); }
void ReadingPage::ToolButtonRefreshClick() { OpenHistoryEntry(); }

void ReadingPage::ToolButtonPrevClick() {
  if (!history_.Back()) return;
  ui.CBoxHistoryList->setCurrentIndex(history_.Selected());
  OpenHistoryEntry();
}

void ReadingPage::ToolButtonNextClick() {
  if (!history_.Forward()) return;
  ui.CBoxHistoryList->setCurrentIndex(history_.Selected());
  OpenHistoryEntry();
}

void ReadingPage::ToolButtonUpClick() {
  const int line = SelectedLine();
  if (line <= 0) return;
  SelectLine(line - 1);
  ListBoxTitleClick();
}

void ReadingPage::ToolButtonDownClick() {
  const int line = SelectedLine();
  if (line >= model_->rowCount() - 1) return;
  SelectLine(line + 1);
  ListBoxTitleClick();
}

void ReadingPage::ToolButtonClearHistClick() {
  history_.Clear();
  ShowHistory();
}

namespace {

// The stored form of a colour: red in the low byte.
long long StoredColor(const QColor& c) { return c.red() | c.green() << 8 | c.blue() << 16; }

// The page of `tabs` that holds `control`.
void BringToFront(QTabWidget* tabs, QWidget* control) {
  for (int i = 0; i < tabs->count(); ++i) {
    if (tabs->widget(i)->isAncestorOf(control)) tabs->setCurrentIndex(i);
  }
}

}  // namespace

void ReadingPage::ConnectFontAndColourButtons() {
  QWidget* editAnStr = window()->findChild<QWidget*>(QStringLiteral("EditAnStr"));
  const struct {
    QPushButton* button;
    QWidget* target;
    bool font;
    bool front;  // bring the target's view to the front
  } buttons[] = {
      {ui.ButtonFontTXTView, ui.MemoMess, true, true},
      {ui.ButtonColorTXTView, ui.MemoMess, false, true},
      {ui.ButtonFontCh, ui.ListBoxTitle, true, false},
      {ui.ButtonColorCh, ui.ListBoxTitle, false, false},
      {ui.ButtonFontMemoAS, ui.MemoAS, true, true},
      {ui.ButtonColorMemoAS, ui.MemoAS, false, true},
      {ui.ButtonFontMemoASHeadline, ui.MemoASHeadline, true, true},
      {ui.ButtonColorMemoASHeadline, ui.MemoASHeadline, false, true},
      {ui.ButtonFontEditAnStr, editAnStr, true, false},
      {ui.ButtonColorEditAnStr, editAnStr, false, false},
  };
  for (const auto& b : buttons) {
    if (b.target == nullptr) continue;
    connect(b.button, &QPushButton::clicked, this, [this, b] {
      if (b.font) {
        fontDialog_->setCurrentFont(b.target->font());
        if (fontDialog_->exec() != QDialog::Accepted) return;
        const QFont chosen = fontDialog_->selectedFont();
        FontValue value = ControlFont(b.target, MakeFontValue("Tahoma", 8));
        FontValue font = MakeFontValue(FromQ(chosen.family()), chosen.pointSize());
        font.color = value.color;
        font.bold = chosen.bold();
        font.italic = chosen.italic();
        font.underline = chosen.underline();
        font.strikeOut = chosen.strikeOut();
        SetControlFont(b.target, font);
        if (b.front) BringToFront(ui.PageControlView, b.target);
      } else {
        if (b.front) BringToFront(ui.PageControlView, b.target);
        colorDialog_->setCurrentColor(b.target->palette().color(QPalette::Base));
        if (colorDialog_->exec() != QDialog::Accepted) return;
        SetControlColor(b.target, StoredColor(colorDialog_->selectedColor()));
      }
    });
  }
}

}  // namespace vorlin
