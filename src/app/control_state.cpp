#include "app/control_state.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVariant>

#include "app/font_value.h"
#include "util/cp1251.h"

namespace vorlin {

namespace {

// Colours and fonts keep their stored form beside the widget, so that values Qt cannot
// express (system colour numbers, pitch, pixels per inch) survive a round trip.
const char* const kColorProperty = "vorlinColor";
const char* const kFontProperty = "vorlinFont";

QRadioButton* RadioItem(const QGroupBox* group, int index) {
  return group->findChild<QRadioButton*>(group->objectName() + "_" + QString::number(index));
}

QColor ToQColor(long long color, const QPalette& palette) {
  auto value = static_cast<unsigned long long>(color) & 0xFFFFFFFFu;
  if ((value >> 24) == 0xFF) {
    switch (value & 0xFF) {
      case 8:
        return palette.color(QPalette::Active, QPalette::Text);
      case 15:
        return palette.color(QPalette::Active, QPalette::Button);
      default:
        return palette.color(QPalette::Active, QPalette::Base);
    }
  }
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

}  // namespace

// Characters kept as references in the values are shown, and typed ones kept, the same way.
QString ToQ(std::string_view cp1251) { return QString::fromStdString(Cp1251RefsToUtf8(cp1251)); }

std::string FromQ(const QString& text) { return Utf8ToCp1251Refs(text.toStdString()); }

std::string ControlText(const QWidget* control) {
  if (auto* edit = qobject_cast<const QLineEdit*>(control)) return FromQ(edit->text());
  if (auto* memo = qobject_cast<const QPlainTextEdit*>(control)) {
    QString text = memo->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return FromQ(text);
  }
  if (auto* combo = qobject_cast<const QComboBox*>(control)) return FromQ(combo->currentText());
  return {};
}

void SetControlText(QWidget* control, std::string_view cp1251) {
  QString text = ToQ(cp1251);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(text);
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    memo->setPlainText(text);
  } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
    combo->setCurrentText(text);
  }
}

int RadioIndex(const QGroupBox* group) {
  for (int i = 0;; ++i) {
    QRadioButton* item = RadioItem(group, i);
    if (!item) return -1;
    if (item->isChecked()) return i;
  }
}

void SetRadioIndex(QGroupBox* group, int index) {
  for (int i = 0;; ++i) {
    QRadioButton* item = RadioItem(group, i);
    if (!item) return;
    // Exclusive buttons refuse to uncheck themselves; switch that off around the change.
    item->setAutoExclusive(false);
    item->setChecked(i == index);
    item->setAutoExclusive(true);
  }
}

int ItemIndex(const QWidget* control) {
  if (auto* group = qobject_cast<const QGroupBox*>(control)) return RadioIndex(group);
  if (auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentIndex();
  if (auto* tabs = qobject_cast<const QTabWidget*>(control)) return tabs->currentIndex();
  return -1;
}

void SetItemIndex(QWidget* control, int index) {
  if (auto* group = qobject_cast<QGroupBox*>(control)) {
    SetRadioIndex(group, index);
  } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
    if (index >= -1 && index < combo->count()) combo->setCurrentIndex(index);
  } else if (auto* tabs = qobject_cast<QTabWidget*>(control)) {
    if (index >= 0 && index < tabs->count()) tabs->setCurrentIndex(index);
  }
}

long long ControlColor(const QWidget* control) {
  QVariant stored = control->property(kColorProperty);
  return stored.isValid() ? stored.toLongLong() : kColorWindow;
}

void SetControlColor(QWidget* control, long long color) {
  control->setProperty(kColorProperty, color);
  QPalette palette = control->palette();
  palette.setColor(QPalette::Base, ToQColor(color, QPalette()));
  control->setPalette(palette);
}

FontValue ControlFont(const QWidget* control, const FontValue& fallback) {
  FontValue font = fallback;
  QVariant stored = control->property(kFontProperty);
  if (stored.isValid()) ApplyFontValue(stored.toByteArray().toStdString(), font);
  return font;
}

void SetControlFont(QWidget* control, const FontValue& font) {
  control->setProperty(kFontProperty, QByteArray::fromStdString(FormatFontValue(font)));
  QFont qfont(ToQ(font.name));
  if (font.size > 0) qfont.setPointSize(font.size);
  qfont.setBold(font.bold);
  qfont.setItalic(font.italic);
  qfont.setUnderline(font.underline);
  qfont.setStrikeOut(font.strikeOut);
  control->setFont(qfont);
  QPalette palette = control->palette();
  palette.setColor(QPalette::Text, ToQColor(font.color, QPalette()));
  control->setPalette(palette);
}

}  // namespace vorlin
